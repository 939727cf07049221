#include "model/ResponseTimes.h"

#include <cstdio>
#include <cstdlib>

namespace qavix {

namespace {

constexpr double kPioFactor = 3.0;
constexpr double kOut1SlowFactor = 4.0;
constexpr double kOut23FastFactor = 2.0;
constexpr double kOut23SlowFactor = 5.0;

std::string formatPair(double fast, double slow) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.1fms / %.1fms", fast, slow);
    return buf;
}

}  // namespace

double responseTimeBase(const SettingsData& set) {
    return std::strtod(set.channel(0).versionText.c_str(), nullptr);
}

std::string formatPioResponseTime(double base) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1fms", kPioFactor * base);
    return buf;
}

std::string formatOut1ResponseTime(double base) {
    return formatPair(base, kOut1SlowFactor * base);
}

std::string formatOut23ResponseTime(double base) {
    return formatPair(kOut23FastFactor * base, kOut23SlowFactor * base);
}

}  // namespace qavix
