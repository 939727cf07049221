#include "model/ClockText.h"

#include <cstdio>

namespace qavix {

namespace {

constexpr int kTmBaseYear = 1900;
constexpr int kClockYearWord = 2;  // words 2..7 of the general block
constexpr int kClockFieldCount = 6;
constexpr int kMonthsPerYear = 12;
constexpr int kMaxDay = 31;

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", ((value % 100) + 100) % 100);
    return text;
}

std::string displayText(int year, int month, int day, int hour, int minute, int second) {
    return twoDigits(year) + "/" + twoDigits(month) + "/" + twoDigits(day) + " " + twoDigits(hour) +
           ":" + twoDigits(minute) + ":" + twoDigits(second);
}

}  // namespace

int dayOfWeek(int year, int month, int day) {
    // January and February count with the year before, so a leap day ends its year.
    static constexpr int kMonthOffset[kMonthsPerYear] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 1 || month > kMonthsPerYear || year < 1) {
        return 0;
    }
    if (month < 3) {
        --year;
    }
    const int w = year + year / 4 - year / 100 + year / 400 + kMonthOffset[month - 1] + day;
    return ((w % 7) + 7) % 7;
}

std::string clockSetText(const std::tm& when) {
    const int year = when.tm_year + kTmBaseYear;
    const int month = when.tm_mon + 1;
    return twoDigits(year) + twoDigits(month) + twoDigits(when.tm_mday) + twoDigits(when.tm_hour) +
           twoDigits(when.tm_min) + twoDigits(when.tm_sec) + "0" +
           std::to_string(dayOfWeek(year, month, when.tm_mday));
}

std::optional<std::string> formatControllerClock(const GeneralBlock& general) {
    int f[kClockFieldCount];
    for (int i = 0; i < kClockFieldCount; ++i) {
        f[i] = general.words[static_cast<size_t>(kClockYearWord + i)];
    }
    if (f[1] < 1 || f[1] > kMonthsPerYear || f[2] < 1 || f[2] > kMaxDay) {
        return std::nullopt;
    }
    return displayText(f[0], f[1], f[2], f[3], f[4], f[5]);
}

std::string formatClockTime(const std::tm& when) {
    return displayText(when.tm_year + kTmBaseYear, when.tm_mon + 1, when.tm_mday, when.tm_hour,
                       when.tm_min, when.tm_sec);
}

}  // namespace qavix
