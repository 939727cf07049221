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

bool digits(std::string_view text, size_t at, size_t count, int& value) {
    if (at + count > text.size()) {
        return false;
    }
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::optional<std::time_t> parseIsoTime(std::string_view text, IsoTimeForm form) {
    const bool written = form == IsoTimeForm::Written;
    std::tm tm{};
    int year = 0;
    int month = 0;
    int day = 0;
    if (!digits(text, 0, 4, year) || text.size() < 10 || text[4] != '-' ||
        !digits(text, 5, 2, month) || text[7] != '-' || !digits(text, 8, 2, day) || month < 1 ||
        month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    size_t at = 10;
    bool seconds = false;
    if (at < text.size()) {
        if (text[at] != 'T' && (written || text[at] != ' ')) {
            return std::nullopt;
        }
        int hour = 0;
        int minute = 0;
        if (!digits(text, at + 1, 2, hour) || text.size() < at + 6 || text[at + 3] != ':' ||
            !digits(text, at + 4, 2, minute) || hour > 23 || minute > 59) {
            return std::nullopt;
        }
        tm.tm_hour = hour;
        tm.tm_min = minute;
        at += 6;
        if (at < text.size() && text[at] == ':') {
            int second = 0;
            if (!digits(text, at + 1, 2, second) || second > 60) {
                return std::nullopt;
            }
            tm.tm_sec = second;
            at += 3;
            seconds = true;
        }
    }
    if (written && !seconds) {
        return std::nullopt;
    }
    if (at == text.size()) {
        // No offset: the moment is known only as the machine's local time, which a written
        // time never leaves open.
        if (written) {
            return std::nullopt;
        }
        tm.tm_isdst = -1;
        const std::time_t local = std::mktime(&tm);
        return local == static_cast<std::time_t>(-1) ? std::nullopt : std::optional(local);
    }
    int offsetMinutes = 0;
    if (text.substr(at) != "Z") {
        const char sign = text[at];
        int hours = 0;
        int minutes = 0;
        const std::string_view rest = text.substr(at + 1);
        const bool colon = rest.size() == 5 && rest[2] == ':';
        if ((sign != '+' && sign != '-') || !(colon || (!written && rest.size() == 4)) ||
            !digits(rest, 0, 2, hours) || !digits(rest, colon ? 3 : 2, 2, minutes) || hours > 23 ||
            minutes > 59) {
            return std::nullopt;
        }
        offsetMinutes = (hours * 60 + minutes) * (sign == '-' ? -1 : 1);
    }
    return timegm(&tm) - static_cast<std::time_t>(offsetMinutes) * 60;
}

std::string isoDateTime(int year, int month, int day, int hour, int minute, int second) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return buffer;
}

}  // namespace qavix
