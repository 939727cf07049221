#pragma once
// How many beams a monitoring page shows at once: the choices of "表示光軸数" for a channel.

#include <vector>

#include "model/DeviceData.h"

namespace qavix {

// Channel index 0..2, or this for all connected sensors.
constexpr int kAllChannels = 3;

// The beams of one channel, or of all connected sensors together, capped at 128 (the most
// the pages show at once).
int beamTotal(const SettingsData& set, int channel);

// The total itself when it is not a multiple of 10, then every multiple of 10 from the
// largest not above it down to 10: 64 gives 64, 60, 50, ... 10; 8 gives only 8.
std::vector<int> visibleBeamChoices(int total);

}  // namespace qavix
