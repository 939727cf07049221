#include "model/ScanIntervals.h"

namespace qavix::scan {

namespace {

struct RateFloor {
    int baud;
    int fastestMs;
};

// Slowest rate first; a rate takes the floor of the highest entry it reaches.
constexpr RateFloor kFloors[] = {
    {9600, 125}, {14400, 100}, {19200, 75}, {38400, 50}, {57600, kFastestIntervalMs},
};

constexpr int kMaxIntervalDigits = 6;

}  // namespace

int fastestIntervalMs(int baud) {
    int fastest = kFloors[0].fastestMs;
    for (const RateFloor& f : kFloors) {
        if (baud >= f.baud) {
            fastest = f.fastestMs;
        }
    }
    return fastest;
}

std::vector<int> intervalsMs(int baud) {
    std::vector<int> out;
    for (int ms = fastestIntervalMs(baud); ms <= kSlowestIntervalMs; ms += kIntervalStepMs) {
        out.push_back(ms);
    }
    return out;
}

std::string intervalText(int ms) {
    return std::to_string(ms) + "ms";
}

std::optional<int> parseIntervalText(std::string_view text) {
    int value = 0;
    size_t digits = 0;
    while (digits < text.size() && digits < kMaxIntervalDigits && text[digits] >= '0' &&
           text[digits] <= '9') {
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits == 0 || text.substr(digits).rfind("ms", 0) != 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace qavix::scan
