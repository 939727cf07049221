#include "model/ScanReply.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "model/HexText.h"

namespace qavix::scan {

ScanRange scanRange(int channel, int connectedSensors) {
    if (channel >= 0 && channel < kChannelCount) {
        return {kFlagBytesPerSensor * channel, kFlagBytesPerSensor};
    }
    return {0, kFlagBytesPerSensor * std::clamp(connectedSensors, 1, kChannelCount)};
}

bool decodeScanReply(std::string_view text, const ScanRange& range, SettingsData& set) {
    constexpr int kAreaBytes = kFlagBytesPerSensor * kChannelCount;
    if (range.first < 0 || range.count <= 0 || range.first + range.count > kAreaBytes ||
        text.size() != static_cast<size_t>(2 * range.count)) {
        return false;
    }
    // Read whole before anything is written, so a refused answer leaves the tables alone.
    std::vector<int32_t> bytes(static_cast<size_t>(range.count));
    for (size_t i = 0; i < bytes.size(); ++i) {
        const std::optional<int32_t> byte = hex::readHex(text, 2 * i, 2);
        if (!byte) {
            return false;
        }
        bytes[i] = *byte;
    }
    for (int i = 0; i < range.count; ++i) {
        const int32_t byte = bytes[static_cast<size_t>(i)];
        const int index = range.first + i;
        BeamTable& table = set.channel(index / kFlagBytesPerSensor).beamState;
        const int firstBeam = (index % kFlagBytesPerSensor) * 8;
        for (int k = 0; k < 8; ++k) {
            table[static_cast<size_t>(firstBeam + k)] = byte & (1 << k);
        }
    }
    return true;
}

}  // namespace qavix::scan
