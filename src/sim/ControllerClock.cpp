#include "sim/ControllerClock.h"

#include <cstdio>
#include <ctime>
#include <utility>

namespace qavix::sim {

namespace {

constexpr int kClockTextLength = 14;
constexpr int kBaseYear = 2000;
constexpr int kTmYearBase = 1900;

std::tm localTm(TimePoint t) {
    const std::time_t secs = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&secs, &tm);
    return tm;
}

int twoDigits(const std::string& text, size_t pos) {
    const char a = text[pos];
    const char b = text[pos + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return -1;
    }
    return (a - '0') * 10 + (b - '0');
}

}  // namespace

TimePoint systemTime() {
    return std::chrono::system_clock::now();
}

ControllerClock::ControllerClock(TimeSource pcTime)
    : m_pcTime(pcTime ? std::move(pcTime) : TimeSource(systemTime)) {}

TimePoint ControllerClock::now() const {
    return m_pcTime() + m_offset;
}

std::string formatClockDigits(TimePoint t) {
    const std::tm tm = localTm(t);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d%02d%02d%02d", tm.tm_year % 100, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

std::string ControllerClock::text() const {
    const TimePoint t = now();
    char weekday[8];
    std::snprintf(weekday, sizeof weekday, "%02d", localTm(t).tm_wday);
    return formatClockDigits(t) + weekday;
}

bool ControllerClock::set(const std::string& text) {
    if (text.size() != kClockTextLength) {
        return false;
    }
    int fields[7];
    for (int i = 0; i < 7; ++i) {
        fields[i] = twoDigits(text, static_cast<size_t>(2 * i));
        if (fields[i] < 0) {
            return false;
        }
    }
    std::tm tm{};
    tm.tm_year = kBaseYear + fields[0] - kTmYearBase;
    tm.tm_mon = fields[1] - 1;
    tm.tm_mday = fields[2];
    tm.tm_hour = fields[3];
    tm.tm_min = fields[4];
    tm.tm_sec = fields[5];
    tm.tm_isdst = -1;
    if (fields[1] < 1 || fields[1] > 12 || fields[2] < 1 || fields[3] > 23 || fields[4] > 59 ||
        fields[5] > 59) {
        return false;
    }
    std::tm normalised = tm;
    const std::time_t secs = std::mktime(&normalised);
    // mktime rolls 31 April over to 1 May; a controller refuses such a date.
    if (secs == static_cast<std::time_t>(-1) || normalised.tm_mday != fields[2] ||
        normalised.tm_mon != fields[1] - 1) {
        return false;
    }
    const auto target = std::chrono::system_clock::from_time_t(secs);
    const auto pc = std::chrono::time_point_cast<std::chrono::seconds>(m_pcTime());
    m_offset = std::chrono::duration_cast<std::chrono::seconds>(target - pc);
    return true;
}

}  // namespace qavix::sim
