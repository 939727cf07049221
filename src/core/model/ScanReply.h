#pragma once
// The scan monitor's one read: the beam-state flags of one sensor or of all connected
// sensors (read code 92), and their decoding into the channel records' monitoring tables.

#include <string_view>

#include "model/ControllerCodes.h"
#include "model/DeviceData.h"
#include "model/VisibleBeams.h"

namespace qavix::scan {

constexpr int kBeamStateCode = code::kReadBeamState;
constexpr int kFlagBytesPerSensor = 16;  // 128 beams, eight to a byte

// Where the read starts and how many bytes it asks for.
struct ScanRange {
    int first = 0;
    int count = 0;
    bool operator==(const ScanRange& o) const { return first == o.first && count == o.count; }
};

// `channel` 0..2 reads that sensor's 16 bytes; kAllChannels reads 16 bytes for each of the
// `connectedSensors` (1..3) from the start.
ScanRange scanRange(int channel, int connectedSensors);

// The answer holds two hexadecimal digits per byte asked for, the lowest beam in bit 0. Each
// beam's monitoring entry becomes its bit weight when the bit is set, else 0 (the weights the
// other flag tables use). A short, long or non-hexadecimal answer changes nothing and is
// refused, so a spoilt frame is never drawn as beam states.
bool decodeScanReply(std::string_view text, const ScanRange& range, SettingsData& set);

}  // namespace qavix::scan
