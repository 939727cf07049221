#pragma once
// The ON and OFF threshold of one beam as the lists and the report show them, from the
// beam's AXIS_TH entry and the channel's HYS and TH_CNF.

#include <cstdint>

#include "model/DeviceData.h"

namespace qavix {

struct BeamOnOff {
    int32_t on = 0;
    int32_t off = 0;
};

// TH_CNF 0: AXIS_TH is the OFF threshold and ON lies HYS above it; otherwise AXIS_TH is the
// ON threshold and OFF lies HYS below it. `beam` is 0-based and must be below kMaxBeams.
BeamOnOff beamOnOff(const ChannelRecord& channel, int beam);

}  // namespace qavix
