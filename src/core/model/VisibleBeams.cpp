#include "model/VisibleBeams.h"

#include <algorithm>

namespace qavix {

namespace {

constexpr int kBeamStep = 10;

int connectedSensors(const SettingsData& set) {
    return std::clamp(static_cast<int>(set.general.jointNum), 0, kChannelCount);
}

int beamsOf(const SettingsData& set, int channel) {
    return std::clamp(static_cast<int>(set.channel(channel).beamCount), 0, kMaxBeams);
}

}  // namespace

int beamTotal(const SettingsData& set, int channel) {
    if (channel >= 0 && channel < kChannelCount) {
        return beamsOf(set, channel);
    }
    int total = 0;
    for (int c = 0; c < connectedSensors(set); ++c) {
        total += beamsOf(set, c);
    }
    return std::min(total, kMaxBeams);
}

std::vector<int> visibleBeamChoices(int total) {
    total = std::clamp(total, 0, kMaxBeams);
    std::vector<int> choices;
    if (total % kBeamStep != 0) {
        choices.push_back(total);
    }
    for (int n = total / kBeamStep * kBeamStep; n >= kBeamStep; n -= kBeamStep) {
        choices.push_back(n);
    }
    return choices;
}

}  // namespace qavix
