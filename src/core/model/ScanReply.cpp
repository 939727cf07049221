#include "model/ScanReply.h"

#include <algorithm>

namespace qavix::scan {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

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
    // Checked whole before anything is written, so a refused answer leaves the tables alone.
    for (char c : text) {
        if (hexDigit(c) < 0) {
            return false;
        }
    }
    for (int i = 0; i < range.count; ++i) {
        const auto pos = static_cast<size_t>(2 * i);
        const int byte = hexDigit(text[pos]) << 4 | hexDigit(text[pos + 1]);
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
