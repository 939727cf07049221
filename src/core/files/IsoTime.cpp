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

std::string isoDateTime(int year, int month, int day, int hour, int minute, int second) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return buffer;
}

}  // namespace qavix
