#pragma once
// The sampling intervals the scan monitor offers: every 25 ms step from the fastest the line
// rate of the active port can keep up with, up to 200 ms.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::scan {

constexpr int kIntervalStepMs = 25;
constexpr int kFastestIntervalMs = 25;  // at the fastest line rates
constexpr int kSlowestIntervalMs = 200;

// The fastest interval for a line rate: a 48-byte answer at 9600 baud takes about 120 ms on
// the line, so slower rates cannot sample as often. Rates below 9600 are treated as 9600.
int fastestIntervalMs(int baud);

// Fastest first, in 25 ms steps.
std::vector<int> intervalsMs(int baud);

// "125ms".
std::string intervalText(int ms);
// The number before "ms" (the combo's text); nothing when the text does not start with one.
std::optional<int> parseIntervalText(std::string_view text);

}  // namespace qavix::scan
