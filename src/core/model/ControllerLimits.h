#pragma once
// The limits the controller sets on its values, named once. The code table (ControllerCodes)
// gives them as the valid ranges of its puts; the pages, the chart, the tuning rules, the
// bank-file check and the command line take them from here.

#include <cstdint>

namespace qavix {

// The top of the absolute scale: received-light levels are shown up to it, and no per-beam
// threshold, zero point or hysteresis may exceed it.
constexpr int32_t kFullScale = 200;

// The ON threshold of a whole sensor (ON_TH) and of a beam written as absolute: never below
// kMinOnThreshold (the controller stores a 0 as this value); ON_TH at most kMaxOnThreshold.
constexpr int32_t kMinOnThreshold = 18;
constexpr int32_t kMaxOnThreshold = 100;
// The OFF threshold of a whole sensor (OFF_TH), and the floor of every OFF threshold.
constexpr int32_t kMinOffThreshold = 8;
constexpr int32_t kMaxOffThreshold = 92;

// The lowest zero point the controller holds; a 0 is stored as this value.
constexpr int32_t kDefaultZeroPoint = 20;

// HYS, the distance between a beam's ON and OFF threshold.
constexpr int32_t kMaxHysteresis = kFullScale;

}  // namespace qavix
