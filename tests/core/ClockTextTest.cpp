#include "model/ClockText.h"

#include <gtest/gtest.h>

namespace qavix {
namespace {

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_wday = 3;  // deliberately wrong: the text must not trust it
    return t;
}

TEST(ClockText, SetTextIsDateTimeZeroAndWeekday) {
    struct Case {
        std::tm when;
        const char* text;
    };
    const Case cases[] = {
        {at(2002, 12, 5, 18, 30, 45), "02120518304504"},  // a Thursday
        {at(2023, 1, 1, 0, 0, 0), "23010100000000"},      // a Sunday
        {at(2024, 2, 29, 23, 59, 59), "24022923595904"},  // leap day, Thursday
        {at(2000, 3, 1, 9, 5, 7), "00030109050703"},      // after a century leap day
        {at(2099, 12, 31, 12, 0, 0), "99123112000004"},
        {at(2025, 6, 7, 1, 2, 3), "25060701020306"},  // a Saturday
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clockSetText(c.when), c.text);
    }
}

TEST(ClockText, WeekdayAgreesWithTheCLibrary) {
    for (int year : {1999, 2000, 2001, 2004, 2100}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day : {1, 15, 28}) {
                std::tm t = at(year, month, day, 12, 0, 0);
                t.tm_isdst = -1;
                std::mktime(&t);
                EXPECT_EQ(dayOfWeek(year, month, day), t.tm_wday)
                    << year << "-" << month << "-" << day;
            }
        }
    }
}

GeneralBlock clockOf(int year, int month, int day, int hour, int minute, int second) {
    GeneralBlock g;
    g.words = {0, 0, year, month, day, hour, minute, second, 0};
    return g;
}

TEST(ClockText, ControllerTimeShownOnlyForAPlausibleDate) {
    EXPECT_EQ(formatControllerClock(clockOf(2002, 12, 5, 18, 30, 45)), "02/12/05 18:30:45");
    EXPECT_EQ(formatControllerClock(clockOf(2010, 1, 31, 0, 0, 9)), "10/01/31 00:00:09");
    EXPECT_FALSE(formatControllerClock(clockOf(2002, 0, 5, 1, 1, 1)));
    EXPECT_FALSE(formatControllerClock(clockOf(2002, 13, 5, 1, 1, 1)));
    EXPECT_FALSE(formatControllerClock(clockOf(2002, 12, 0, 1, 1, 1)));
    EXPECT_FALSE(formatControllerClock(clockOf(2002, 12, 32, 1, 1, 1)));
    EXPECT_FALSE(formatControllerClock(GeneralBlock{}));
}

TEST(ClockText, PcTimeDisplay) {
    EXPECT_EQ(formatClockTime(at(2002, 12, 5, 8, 3, 1)), "02/12/05 08:03:01");
}

}  // namespace
}  // namespace qavix
