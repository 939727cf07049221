// The whole program on a controller behind Debian's ser2net (loopback, a free port), the
// server killed while the program idles: the status bar says the line is gone while the
// message of the lost line is still up, the same on a raw TCP and an RFC 2217 port.

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTimer>
#include <optional>

#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "PageTestSupport.h"
#include "Ser2netProcess.h"
#include "frame/CLeftPaneView.h"
#include "widgets/CColorStatusBar.h"

namespace qavix::test {
namespace {

const QColor kBadText(255, 0, 0);

QMessageBox* shownMessageBox() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(top); box != nullptr && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

class LostLine : public AppFixture, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        if (!Ser2netProcess::available()) {
            GTEST_SKIP() << "ser2net is not installed (scripts/setup.sh installs it)";
        }
        AppFixture::SetUp();
    }
};

TEST_P(LostLine, TheStatusBarShowsTheLineGoneWhileItsMessageIsUp) {
    const bool rfc2217 = GetParam();
    SimProcess sim({"--sensors", "40"});
    ASSERT_EQ(sim.device().rfind("/dev/", 0), 0u) << sim.device();
    Ser2netProcess server({rfc2217, sim.device(), "9600e72"});
    ASSERT_TRUE(server.running()) << server.log();
    setPort(1, QString::fromStdString(server.target()));
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    QLabel* pane = app.mainFrame()->colorStatusBar()->pane(1);
    ASSERT_TRUE(waitUntil([&] { return pane->text() == "接続"; }, 5000));

    // While the message is up, wait for the status bar's next refresh to show the line gone;
    // then answer it.
    bool boxSeen = false;
    bool paneBadWithBoxUp = false;
    bool answered = false;
    QElapsedTimer sinceBox;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QMessageBox* box = shownMessageBox();
        if (box == nullptr || answered) {
            return;
        }
        if (!boxSeen) {
            boxSeen = true;
            sinceBox.start();
        }
        paneBadWithBoxUp = pane->text().trimmed() == "未接続" &&
                           pane->palette().color(QPalette::WindowText) == kBadText;
        // The status bar refreshes every two seconds; a loaded machine may delay a few.
        if (paneBadWithBoxUp || sinceBox.elapsed() > 15000) {
            answered = true;
            box->button(QMessageBox::Ok)->click();
        }
    });
    watcher.start(20);
    server.kill();
    // The user asks for a page at once, before the next idle check: its read finds the line
    // gone.
    CLeftPaneView* tree = app.mainFrame()->tree();
    tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::BasicInfo, kCurrentSet));
    EXPECT_TRUE(waitUntil([&] { return answered && app.ending(); }, 60000));
    watcher.stop();
    EXPECT_TRUE(boxSeen);
    EXPECT_TRUE(paneBadWithBoxUp) << "pane 1: " << pane->text().toStdString();
    app.shutdown();
}

// Whichever way the line is found gone, by a status check or by a request whose replies
// never come, the lost-line message comes with the unit no longer connected: the status bar
// reads that state and turns red behind the message.
TEST(LostLineState, ARequestThatFindsTheLineGoneLeavesTheUnitNotConnected) {
    struct Host : RecordingHost {
        void showLostMessage(const std::string& text) override {
            connectedAtMessage = link != nullptr && link->unitConnected(0);
            RecordingHost::showLostMessage(text);
        }
        CCommLink* link = nullptr;
        std::optional<bool> connectedAtMessage;
    };
    DeviceModel model;
    Host host;
    // Two replies: the first status check and the one before the read, which gets none.
    std::unique_ptr<CCommLink> link =
        emulatorLink(host, model, "--hang-after 2 --instant-timeout on");
    host.link = link.get();
    ASSERT_TRUE(link->unitConnected(0));
    EXPECT_NE(link->request(code::kReadControlTexts), kRequestOk);
    ASSERT_TRUE(host.connectedAtMessage.has_value()) << "no lost-line message";
    EXPECT_FALSE(*host.connectedAtMessage);
    EXPECT_FALSE(link->unitConnected(0));
    link.reset();
    unsetenv("QAVLINK_COM1");
}

INSTANTIATE_TEST_SUITE_P(RawAndRfc2217, LostLine, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "Rfc2217" : "RawTcp";
                         });

}  // namespace
}  // namespace qavix::test
