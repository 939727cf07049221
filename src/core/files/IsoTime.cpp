#include "files/IsoTime.h"

#include <cstdio>

namespace qavix {

std::string isoLocalTime(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[40];
    const size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string text(buffer, n);
    constexpr size_t kOffsetLength = 5;  // +0900
    if (text.size() >= kOffsetLength) {
        text.insert(text.size() - 2, ":");
    }
    return text;
}

std::string isoLocalTime(std::chrono::system_clock::time_point when) {
    return isoLocalTime(std::chrono::system_clock::to_time_t(when));
}

namespace {

// The decimal number of `count` digits at `at`, or -1.
int digitsAt(std::string_view text, size_t at, size_t count) {
    if (at + count > text.size()) {
        return -1;
    }
    int n = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

}  // namespace

std::optional<std::time_t> parseIsoTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS then Z or +HH:MM / -HH:MM.
    constexpr size_t kDateTimeLength = 19;
    constexpr size_t kOffsetLength = 6;
    if (text.size() < kDateTimeLength + 1 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    std::tm t{};
    t.tm_year = digitsAt(text, 0, 4) - 1900;
    t.tm_mon = digitsAt(text, 5, 2) - 1;
    t.tm_mday = digitsAt(text, 8, 2);
    t.tm_hour = digitsAt(text, 11, 2);
    t.tm_min = digitsAt(text, 14, 2);
    t.tm_sec = digitsAt(text, 17, 2);
    if (t.tm_year < 0 || t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_mday > 31 ||
        t.tm_hour < 0 || t.tm_hour > 23 || t.tm_min < 0 || t.tm_min > 59 || t.tm_sec < 0 ||
        t.tm_sec > 60) {
        return std::nullopt;
    }
    const std::string_view zone = text.substr(kDateTimeLength);
    long offset = 0;
    if (zone != "Z") {
        const int hours = digitsAt(zone, 1, 2);
        const int minutes = digitsAt(zone, 4, 2);
        if (zone.size() != kOffsetLength || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':' ||
            hours < 0 || hours > 23 || minutes < 0 || minutes > 59) {
            return std::nullopt;
        }
        offset = (zone[0] == '-' ? -1 : 1) * (hours * 3600L + minutes * 60L);
    }
    return timegm(&t) - offset;
}

std::string isoDateTime(int year, int month, int day, int hour, int minute, int second) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return buffer;
}

}  // namespace qavix
