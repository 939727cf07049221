#include "monitor/ThresholdList.h"

#include <algorithm>

#include "Translate.h"
#include "model/BeamThresholds.h"
#include "monitor/LevelCsv.h"
#include "monitor/LevelReading.h"
#include "monitor/ThresholdTuning.h"

namespace qavix::thlist {

namespace {

constexpr int kTimeoutMs = levels::kLevelReadTimeoutMs;
constexpr int kCsvCells = 4;

PageRead perBeam(int readCode, const SettingsData& set, int s) {
    return channelRead(readCode, s + 1, set.channel(s).beamCount, kTimeoutMs);
}

bool inRange(int32_t v) {
    return v >= kMinOffThreshold && v <= kFullScale;
}

}  // namespace

namespace {

// %1 the sensor, %2 the padding, %3 the beam number.
std::string labelOf(const char* pattern, int sensor, int beam) {
    const int number = beam + 1;
    const char* pad = number < 10 ? "   " : number < 100 ? " " : "";
    return i18n::fill(pattern, {std::to_string(sensor + 1), pad, std::to_string(number)});
}

}  // namespace

std::string rowLabel(int sensor, int beam) {
    return labelOf(N_("CH%1_光軸%2%3"), sensor, beam);
}

std::string shownRowLabel(int sensor, int beam) {
    return labelOf(QX_("CH%1_光軸%2%3"), sensor, beam);
}

chart::ThresholdPair derivedPair(const SettingsData& set, int sensor, int beam, bool channelMode) {
    const ChannelRecord& ch = set.channel(sensor);
    if (channelMode) {
        return {ch.onTh, ch.offTh};
    }
    const BeamOnOff t = beamOnOff(ch, beam);
    return {t.on, t.off};
}

std::optional<chart::ThresholdPair> typedThreshold(chart::ThresholdPair now, bool onCell,
                                                   int32_t typed, int32_t hys) {
    const chart::ThresholdPair next = onCell ? chart::ThresholdPair{typed, typed - hys}
                                             : chart::ThresholdPair{typed + hys, typed};
    if (!inRange(next.on) || !inRange(next.off) || next == now) {
        return std::nullopt;
    }
    return next;
}

CellTexts cellTexts(chart::ThresholdPair pair, bool offTyped) {
    return {std::to_string(pair.on), std::to_string(pair.off) + (offTyped ? " " : "")};
}

std::vector<PageRead> fullReads(const SettingsData& set, bool channelMode) {
    std::vector<PageRead> out{{code::kReadHys, 1, 0, kChannelCount, kTimeoutMs},
                              {code::kReadThCnf, 1, 0, kChannelCount, kTimeoutMs}};
    for (int s : levels::shownSensors(set, levels::kAllChannels)) {
        if (channelMode) {
            out.push_back(channelRead(code::kReadOnTh, s + 1, 0, kTimeoutMs));
            out.push_back(channelRead(code::kReadOffTh, s + 1, 0, kTimeoutMs));
        } else {
            out.push_back(perBeam(code::kReadAxisTh, set, s));
        }
        out.push_back(perBeam(code::kReadFixAxis, set, s));
        out.push_back(perBeam(code::kReadAbsLevel, set, s));
    }
    out.push_back({code::kReadFixCnf, 1, 0, 0, kTimeoutMs});
    return out;
}

std::vector<PageRead> levelReads(const SettingsData& set, int channel) {
    std::vector<PageRead> out;
    for (int s : levels::shownSensors(set, channel)) {
        out.push_back(perBeam(code::kReadAbsLevel, set, s));
    }
    return out;
}

std::vector<codec::PutRequest> listPuts(SettingsData& set, const std::vector<int>& sensors,
                                        const std::vector<std::vector<chart::ThresholdPair>>& pairs,
                                        bool channelMode) {
    std::vector<codec::PutRequest> out;
    for (size_t i = 0; i < sensors.size() && i < pairs.size(); ++i) {
        const int s = sensors[i];
        if (pairs[i].empty()) {
            continue;
        }
        if (channelMode) {
            for (codec::PutRequest& p : tuning::channelThresholdPuts(set, s, pairs[i].front())) {
                out.push_back(std::move(p));
            }
        } else {
            out.push_back(tuning::beamThresholdPut(set, s, pairs[i], false));
        }
    }
    return out;
}

std::vector<std::string> listCsvLines(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> lines{levels::kLevelCsvHeader};
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < static_cast<size_t>(kCsvCells); ++c) {
            line += (c < row.size() ? row[c] : std::string()) + ",";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace qavix::thlist
