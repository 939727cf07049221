#include "model/ResponseTimes.h"

#include <charconv>

namespace qavix {

namespace {

constexpr double kPioFactor = 3.0;
constexpr double kOut1SlowFactor = 4.0;
constexpr double kOut23FastFactor = 2.0;
constexpr double kOut23SlowFactor = 5.0;

// The controller's texts use a full stop whatever the desktop's locale says, and so do the
// page and the report: no C locale function may take part (the GUI sets the user's locale).
std::string milliseconds(double value) {
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    return std::string(buf, result.ptr) + "ms";
}

std::string formatPair(double fast, double slow) {
    return milliseconds(fast) + " / " + milliseconds(slow);
}

}  // namespace

double responseTimeBase(const SettingsData& set) {
    const std::string& text = set.channel(0).versionText;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

std::string formatPioResponseTime(double base) { return milliseconds(kPioFactor * base); }

std::string formatOut1ResponseTime(double base) {
    return formatPair(base, kOut1SlowFactor * base);
}

std::string formatOut23ResponseTime(double base) {
    return formatPair(kOut23FastFactor * base, kOut23SlowFactor * base);
}

}  // namespace qavix
