#include "monitor/LevelReading.h"

#include <algorithm>

namespace qavix::levels {

namespace {

PageRead perBeam(int readCode, const SettingsData& set, int sensor) {
    return channelRead(readCode, sensor + 1, set.channel(sensor).beamCount, kLevelReadTimeoutMs);
}

PageRead perSensor(int readCode, int sensor) {
    return channelRead(readCode, sensor + 1, 0, kLevelReadTimeoutMs);
}

PageRead fixedBeams(const SettingsData& set, int sensor) {
    return perBeam(code::kReadFixAxis, set, sensor);
}

void addPerBeam(std::vector<PageRead>& out, const SettingsData& set,
                const std::vector<int>& sensors, std::initializer_list<int> codes) {
    for (int s : sensors) {
        for (int code : codes) {
            out.push_back(perBeam(code, set, s));
        }
    }
}

std::vector<int> allConnected(const SettingsData& set) {
    std::vector<int> out;
    for (int s = 0; s < connectedSensors(set); ++s) {
        out.push_back(s);
    }
    return out;
}

}  // namespace

int connectedSensors(const SettingsData& set) {
    return std::clamp(set.general.jointNum, 0, kChannelCount);
}

int channelOfComboIndex(int index, const SettingsData& set) {
    if (index < 0 || index >= connectedSensors(set)) {
        return kAllChannels;
    }
    return index;
}

std::vector<int> shownSensors(const SettingsData& set, int channel) {
    if (channel == kAllChannels) {
        return allConnected(set);
    }
    if (channel < 0 || channel >= kChannelCount) {
        return {};
    }
    return {channel};
}

std::vector<PageRead> thresholdReads(const SettingsData& set) {
    std::vector<PageRead> out;
    for (int s : allConnected(set)) {
        for (int code : {code::kReadAbsOnTh, code::kReadAbsOffTh, code::kReadRatioOnTh,
                         code::kReadRatioOffTh, code::kReadAxisTh, code::kReadZero}) {
            out.push_back(perBeam(code, set, s));
        }
        out.push_back(fixedBeams(set, s));
    }
    out.push_back(PageRead{code::kReadFixCnf, 1, 0, kChannelCount, kLevelReadTimeoutMs});
    out.push_back(PageRead{code::kReadHys, 1, 0, kChannelCount, kLevelReadTimeoutMs});
    out.push_back(PageRead{code::kReadThCnf, 1, 0, kChannelCount, kLevelReadTimeoutMs});
    return out;
}

std::vector<PageRead> operationReads(Operation op, const SettingsData& set, GraphChoice choice) {
    const std::vector<int> shown = shownSensors(set, choice.channel);
    std::vector<PageRead> out;
    switch (op) {
        case Operation::FullLoad:
            out = thresholdReads(set);
            addPerBeam(out, set, shown, {code::kReadRatioLevel});
            if (choice.singleChannel) {
                for (int s : allConnected(set)) {
                    out.push_back(perSensor(code::kReadOnTh, s));
                    out.push_back(perSensor(code::kReadOffTh, s));
                }
            }
            break;
        case Operation::LevelsAbsolute:
            addPerBeam(out, set, shown, {code::kReadAbsLevel});
            break;
        case Operation::LevelsRatio:
            addPerBeam(out, set, shown, {code::kReadRatioLevel});
            break;
        case Operation::AbsoluteDisplay:
            addPerBeam(out, set, shown, {code::kReadAbsLevel});
            addPerBeam(out, set, shown, {code::kReadAbsOnTh, code::kReadAbsOffTh});
            break;
        case Operation::RatioDisplay:
            addPerBeam(out, set, shown, {code::kReadRatioLevel});
            addPerBeam(out, set, shown, {code::kReadRatioOnTh, code::kReadRatioOffTh});
            break;
        case Operation::RefreshAbsolute:
        case Operation::RefreshRatio: {
            for (int s : allConnected(set)) {
                out.push_back(fixedBeams(set, s));
            }
            if (choice.singleChannel && choice.channel != kAllChannels) {
                out.push_back(perSensor(code::kReadFunctionBit1, choice.channel));
            } else {
                out.push_back(
                    PageRead{code::kReadFixCnf, 1, 0, kChannelCount, kLevelReadTimeoutMs});
            }
            if (op == Operation::RefreshAbsolute) {
                addPerBeam(out, set, shown, {code::kReadAbsOnTh, code::kReadAbsOffTh});
            } else {
                addPerBeam(out, set, shown, {code::kReadRatioOnTh, code::kReadRatioOffTh});
            }
            break;
        }
    }
    return out;
}

std::vector<PageRead> absoluteSnapshotReads(const SettingsData& set, int channel) {
    std::vector<PageRead> out;
    const std::vector<int> shown = shownSensors(set, channel);
    addPerBeam(out, set, shown, {code::kReadAbsLevel});
    addPerBeam(out, set, shown, {code::kReadAbsOnTh, code::kReadAbsOffTh});
    return out;
}

bool beamOfBar(const SettingsData& set, int channel, int bar, BeamRef& out) {
    if (bar < 0 || bar >= kMaxBars) {
        return false;
    }
    int first = 0;
    for (int s : shownSensors(set, channel)) {
        const int count = std::clamp(set.channel(s).beamCount, 0, kMaxBeams);
        if (bar < first + count) {
            out = BeamRef{s, bar - first};
            return true;
        }
        first += count;
    }
    return false;
}

bool blankingInForce(const SettingsData& set, int sensor, bool singleChannel) {
    if (singleChannel) {
        return set.channel(sensor).functionBit1 != 0;
    }
    return set.general.fixCnf.at(static_cast<size_t>(sensor)) != 0;
}

chart::ThresholdPair displayThresholds(const SettingsData& set, BeamRef ref, bool ratioDisplay,
                                       bool singleChannel) {
    const ChannelRecord& ch = set.channel(ref.sensor);
    if (singleChannel) {
        return chart::ThresholdPair{ch.onTh, ch.offTh};
    }
    const auto b = static_cast<size_t>(ref.beam);
    return ratioDisplay ? chart::ThresholdPair{ch.ratioOnTh[b], ch.ratioOffTh[b]}
                        : chart::ThresholdPair{ch.absOnTh[b], ch.absOffTh[b]};
}

std::vector<BarView> barViews(const SettingsData& set, GraphChoice choice, bool ratioDisplay) {
    std::vector<BarView> out;
    const int total = beamTotal(set, choice.channel);
    out.reserve(static_cast<size_t>(total));
    for (int bar = 0; bar < total; ++bar) {
        BarView v;
        if (!beamOfBar(set, choice.channel, bar, v.ref)) {
            break;
        }
        const ChannelRecord& ch = set.channel(v.ref.sensor);
        const auto b = static_cast<size_t>(v.ref.beam);
        v.value =
            chart::displayedLevel(ratioDisplay ? ch.ratioLevel[b] : ch.absLevel[b], ratioDisplay);
        v.thresholds = displayThresholds(set, v.ref, ratioDisplay, choice.singleChannel);
        v.blanked = ch.fixAxis[b] != 0 && blankingInForce(set, v.ref.sensor, choice.singleChannel);
        v.state = chart::barState(v.value, v.thresholds.on, v.thresholds.off, v.blanked);
        out.push_back(v);
    }
    return out;
}

}  // namespace qavix::levels
