#include "monitor/BarRules.h"

#include <algorithm>
#include <cstdio>

#include "Translate.h"

namespace qavix::chart {

namespace {

// The ratio rule works in hundredths of absolute units.
constexpr int32_t kHundredths = 100;
constexpr int32_t kRatioCeiling = kFullScale * kHundredths;
constexpr int32_t kRatioOffFloor = kMinOffThreshold * kHundredths;

std::string line(const char* caption, int32_t value, const char* unit) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s:%4d%s\n ", caption, static_cast<int>(value), unit);
    return buf;
}

}  // namespace

BarState barState(int32_t value, int32_t on, int32_t off, bool blankedInForce) {
    if (blankedInForce) {
        return BarState::Blanked;
    }
    if (value > on) {
        return BarState::Incident;
    }
    if (value >= off) {
        return BarState::Unstable;
    }
    return BarState::Blocked;
}

int32_t displayedLevel(int32_t level, bool ratioDisplay) {
    return ratioDisplay ? level : std::min(level, kFullScale);
}

std::string tooltipText(int sensor, const std::string& beamLabel, int32_t value, int32_t on,
                        int32_t off, bool percentAxis) {
    const char* unit = percentAxis ? "%" : "";
    return i18n::fill(QX_("光軸:CH%1-%2"), {std::to_string(sensor), beamLabel}) + "\n " +
           line(QX_("受光レベル "), value, unit) + line(QX_("ONしきい値 "), on, unit) +
           line(QX_("OFFしきい値"), off, unit);
}

ThresholdPair dragAbsolute(ThresholdPair now, int32_t targetOn, bool wholeSensor) {
    const int32_t top = wholeSensor ? kMaxOnThreshold : kFullScale;
    // OFF follows ON down; it may reach 0 but never below, or its sent value would wrap.
    const int32_t bottom = std::min(std::max(kMinOnThreshold, now.on - now.off), top);
    const int32_t on = std::clamp(targetOn, bottom, top);
    return ThresholdPair{on, now.off + (on - now.on)};
}

ThresholdPair ratioRule(ThresholdPair now, int32_t zero, int32_t hys, int32_t percent,
                        bool onReference, bool absoluteAxis) {
    if (zero <= 0) {
        return now;
    }
    const int32_t h = hys * kHundredths;
    if (onReference) {
        int32_t y = zero * percent;
        if (y > kRatioCeiling) {
            y = kRatioCeiling;
        } else if (y < h + kRatioOffFloor) {
            y = h + kRatioOffFloor;
        }
        return ThresholdPair{y / zero, (y - h) / zero};
    }
    const int32_t floor = absoluteAxis ? h + kRatioOffFloor : kRatioOffFloor;
    int32_t x = zero * percent;
    if (x < floor) {
        x = floor;
    } else if (x + h > kRatioCeiling) {
        x = kRatioCeiling - h;
    }
    return ThresholdPair{(x + h) / zero, x / zero};
}

}  // namespace qavix::chart
