#include "comm/TraceLog.h"

#include <gtest/gtest.h>

namespace qavix {
namespace {

TEST(TraceLog, KeepsTheNewest300LinesAndNeverRestartsNumbering) {
    TraceLog log;
    for (int i = 0; i < 350; ++i) {
        log.addLine("X", TraceLog::Sent);
    }
    ASSERT_EQ(log.lines().size(), 300u);
    EXPECT_EQ(log.lines().front(), "  51 S > X");
    EXPECT_EQ(log.lines().back(), " 350 S > X");
    EXPECT_EQ(log.lineCount(), 350);
}

TEST(TraceLog, FramesShowTheirControlCharactersByName) {
    EXPECT_EQ(formatTraceFrame("\x02"
                               "ABC\x03Z"),
              "[STX]ABC[ETX]Z");
    TraceLog log;
    log.recordExchange(
        "\x02"
        "01R48\x03k",
        "\x02"
        "ABC\x03Z");
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[0], "   1 S > [STX]01R48[ETX]k");
    EXPECT_EQ(log.lines()[1], "   2 R > [STX]ABC[ETX]Z");
    // Too short to be a frame: shown as it came, never cut out of bounds.
    EXPECT_EQ(formatTraceFrame(""), "");
    EXPECT_EQ(formatTraceFrame("\x02\x03"), "\x02\x03");
}

TEST(TraceLog, ReducedDisplayShowsOnlyWhatFitsCountedFromTheOldest) {
    TraceLog log;
    for (int i = 0; i < 10; ++i) {
        log.addLine(std::to_string(i), TraceLog::Received);
    }
    EXPECT_EQ(log.displayText(true, 65), "   1 R > 0\r\n   2 R > 1\r\n   3 R > 2\r\n");
    const std::string all = log.displayText(false, 65);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 10);
}

}  // namespace
}  // namespace qavix
