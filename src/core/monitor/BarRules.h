#pragma once
// What a level bar shows: the value drawn for a level, the state its colour stands for,
// the tooltip text, and how a dragged threshold moves. Shared by the chart, the graph page
// and the command line.

#include <cstdint>
#include <string>

#include "model/DeviceData.h"

namespace qavix::chart {

enum class BarState { Incident, Unstable, Blocked, Blanked };

// A level above the ON threshold is incident, from the OFF threshold up to and including
// the ON threshold unstable, below it blocked; a blanked beam with blanking in force shows
// as blanked whatever its level.
BarState barState(int32_t value, int32_t on, int32_t off, bool blankedInForce);

// The value a bar shows: absolute levels capped at the full scale (so drawn, listed and
// saved), ratio levels as read.
int32_t displayedLevel(int32_t level, bool ratioDisplay);

// "光軸:CH1-5\n 受光レベル :  87%\n ..." with a "%" after each value on the percent axis;
// translated.
std::string tooltipText(int sensor, const std::string& beamLabel, int32_t value, int32_t on,
                        int32_t off, bool percentAxis);

struct ThresholdPair {
    int32_t on = 0;
    int32_t off = 0;
    bool operator==(const ThresholdPair& o) const { return on == o.on && off == o.off; }
};

// An absolute drag: the ON threshold goes to `targetOn` within its limits (the full scale
// for a beam, kMaxOnThreshold for the whole sensor's ON_TH) and the OFF threshold follows
// by the same amount, so their difference stays; ON stops where OFF would fall below 0.
ThresholdPair dragAbsolute(ThresholdPair now, int32_t targetOn, bool wholeSensor);

// The ratio rule: the percentages of one beam with zero-point level `zero` and the sensor's
// hysteresis `hys` (absolute units) for `percent` of the reference threshold, such that in
// absolute terms ON stays at most the full scale, OFF at least kMinOffThreshold and ON - OFF
// equal to the hysteresis. `absoluteAxis` raises the OFF-reference floor to keep OFF at
// least kMinOffThreshold above the hysteresis.
// A beam without a zero point (0) has no percentages: `now` comes back unchanged.
ThresholdPair ratioRule(ThresholdPair now, int32_t zero, int32_t hys, int32_t percent,
                        bool onReference, bool absoluteAxis = false);

}  // namespace qavix::chart
