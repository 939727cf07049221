#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "frame/CDebugView.h"

namespace qavix::test {
namespace {

// What lines the log keeps and how a frame reads are the log's (TraceLogTest); the view
// shows them.
TEST(TraceView, ExchangesAreShownAsTheLogFormatsThem) {
    CDebugView view([] { return false; });
    view.recordExchange(
        "\x02"
        "48\x03"
        "7",
        "\x02"
        "ABC\x03"
        "Z");
    EXPECT_EQ(view.toPlainText(), "   1 S > [STX]48[ETX]7\n   2 R > [STX]ABC[ETX]Z");
}

TEST(TraceView, ShowsOnlyWhatFitsWhileBusy) {
    bool busy = true;
    CDebugView view([&] { return busy; });
    view.resize(400, 140);
    view.show();
    settle();
    const int fits = view.viewport()->height() / 20;
    ASSERT_GT(fits, 0);
    for (int i = 0; i < 30; ++i) {
        view.addLine("F", TraceLog::Sent);
    }
    QStringList lines = view.toPlainText().split('\n');
    EXPECT_EQ(lines.size(), fits);
    EXPECT_EQ(lines.first(), "   1 S > F");  // the oldest ones

    busy = false;
    view.addLine("G", TraceLog::Received);
    EXPECT_EQ(view.toPlainText().split('\n').size(), 31);
    view.setHold(true);
    view.addLine("H", TraceLog::Received);
    EXPECT_EQ(view.toPlainText().split('\n').size(), fits);
}

}  // namespace
}  // namespace qavix::test
