#include "model/ErrorLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "TempDir.h"
#include "TestLocale.h"
#include "model/SerialNumber.h"

namespace qavix {
namespace {

TEST(ErrorLog, TextsByCode) {
    EXPECT_EQ(errorLogText(0xC8), "設定エラー");
    EXPECT_EQ(errorLogText(0xCE), "設定エラー");
    EXPECT_EQ(errorLogText(0xCD), "バッテリーロー");
    EXPECT_EQ(errorLogText(0x3B), "---");
    EXPECT_EQ(errorLogText(0x1F), "---");
    EXPECT_EQ(errorLogText(0xD5), "---");
    EXPECT_EQ(errorLogText(0x20), "センサ内部回路異常");
    EXPECT_EQ(errorLogText(0xAA), "配線異常");
    EXPECT_EQ(errorLogText(-1), "---");
}

ErrorHistoryEntry entryAt2002_12_05_130459() {
    ErrorHistoryEntry e;
    e.year = 2;
    e.month = 12;
    e.day = 5;
    e.hour = 13;
    e.minute = 4;
    e.second = 59;
    return e;
}

TEST(ErrorLog, DateShowsTwoDigitYearAndJapaneseWeekday) {
    ErrorHistoryEntry e = entryAt2002_12_05_130459();
    EXPECT_EQ(formatErrorDate(e), "02/12/05 木 13:04:59");
    e.year = 24;
    e.month = 2;
    e.day = 29;
    EXPECT_EQ(formatErrorDate(e), "24/02/29 木 13:04:59");
    EXPECT_EQ(formatErrorDate(ErrorHistoryEntry{}), "---");
}

TEST(ErrorLog, SerialNumberPartDependsOnControllerOrSensorError) {
    EXPECT_EQ(formatErrorLogSerial("020B04D2", 0xC8), "1234Y02");
    EXPECT_EQ(formatErrorLogSerial("020B04D2", 0x35), "04D2Y02");
    EXPECT_EQ(formatErrorLogSerial("00000000", 0xC8), "---");
    EXPECT_EQ(formatErrorLogSerial("", 0xC8), "---");
}

TEST(ErrorLog, ControllerSerialFormat) {
    EXPECT_EQ(formatControllerSerial("020B002A"), "0042Y02");
    EXPECT_EQ(formatControllerSerial("0205000A"), "0010502");
    EXPECT_EQ(formatControllerSerial("020C0001"), "0001Z02");
    EXPECT_EQ(formatControllerSerial("02090001"), "0001902");
    EXPECT_EQ(formatControllerSerial("0C0C0001"), "0001Z12");  // the year is hexadecimal too
    // Damaged texts still give a readable, bounded result.
    EXPECT_EQ(formatControllerSerial(""), "0000000");
    EXPECT_EQ(formatControllerSerial("ZZ"), "0000000");
}

TEST(ErrorLog, LocalesWithoutALanguageKeepTheJapaneseWeekdays) {
    // "C" would give English names; a locale that is not installed gives nothing at all.
    EXPECT_EQ(weekdaysOfLocale("C"), japaneseWeekdays());
    EXPECT_EQ(weekdaysOfLocale("POSIX"), japaneseWeekdays());
    EXPECT_EQ(weekdaysOfLocale("C.UTF-8"), japaneseWeekdays());
    EXPECT_EQ(weekdaysOfLocale("xx_NOWHERE.UTF-8"), japaneseWeekdays());
    EXPECT_EQ(japaneseWeekdays()[4], "木");
}

// A locale with a language of its own gives its abbreviations. The machine may have none
// installed, so the test compiles a small one (time names only) into its own folder.
TEST(ErrorLog, InstalledLocaleGivesItsOwnWeekdays) {
    test::TempDir dir;
    const test::ProcessResult made =
        test::compileLocale(dir,
                            "LC_CTYPE\ncopy \"POSIX\"\nEND LC_CTYPE\nLC_TIME\n"
                            "abday \"So\";\"Mo\";\"Di\";\"Mi\";\"Do\";\"Fr\";\"Sa\"\n"
                            "END LC_TIME\n",
                            "xx_TEST.UTF-8");
    setenv("LOCPATH", dir.path().c_str(), 1);
    const WeekdayNames names = weekdaysOfLocale("xx_TEST.UTF-8");
    unsetenv("LOCPATH");
    EXPECT_EQ(names[0], "So") << made.err;
    EXPECT_EQ(formatErrorDate(entryAt2002_12_05_130459(), names), "02/12/05 Do 13:04:59");
}

TEST(ErrorLog, ReadKeepsRowsOfEmptyEntriesAndCsvHoldsAllTwenty) {
    std::array<ErrorHistoryEntry, kErrorHistoryCount> history{};
    for (ErrorHistoryEntry& e : history) {
        e.codeText = "00";
        e.serialText = "00000000";
    }
    history[0] = entryAt2002_12_05_130459();
    history[0].codeText = "C8";
    history[0].serialText = "020B04D2";
    ErrorLogRows previous = emptyErrorLogRows();
    previous[1].code = "A2";  // from an earlier read
    const ErrorLogRows rows = errorLogRows(history, previous, japaneseWeekdays());
    EXPECT_EQ(rows[0].text, "設定エラー");
    EXPECT_EQ(rows[1].code, "A2");
    EXPECT_EQ(rows[19].number, "20");

    const std::string csv = errorLogCsv(rows);
    EXPECT_EQ(csv.rfind("No.,日付,エラーNo.,エラー内容,発生シリアルNo.,\n", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), kErrorHistoryCount + 1);
    EXPECT_NE(csv.find("No.1,02/12/05 木 13:04:59,C8,設定エラー,1234Y02\n"), std::string::npos);
    EXPECT_EQ(csv.substr(csv.size() - 22), "No.20,---,---,---,---\n");
}

}  // namespace
}  // namespace qavix
