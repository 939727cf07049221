#include "sim/BeamMonitor.h"

#include <algorithm>

#include "sim/AreaAccess.h"
#include "sim/HexText.h"

namespace qavix::sim {

namespace {

constexpr int kChannels = 3;
constexpr int kBeamsPerChannel = 128;
constexpr int kFlagBytesPerChannel = 16;

constexpr int kAbsLevel = 88;
constexpr int kRatioLevel = 89;
constexpr int kAbsOnTh = 90;
constexpr int kRatioOnTh = 91;
constexpr int kBeamState = 92;
constexpr int kAbsOffTh = 93;
constexpr int kRatioOffTh = 94;

constexpr int kAreaBeamCount = 72;
constexpr int kAreaZero = 102;
constexpr int kAreaThreshold = 103;
constexpr int kAreaHys = 104;
constexpr int kAreaThCnf = 105;

constexpr int kMaxLevel = 255;
constexpr int kFullLight = 100;  // percent of the light model's level
constexpr int kMaxRatio = 0xFFFF;
constexpr int kMinZero = 20;
constexpr int kMaxZero = 200;
constexpr int kMaxTeachOn = 200;
constexpr int kMinTeachOff = 8;
constexpr int kOnReference = 1;

int beamCount(const SetMemory& set, int channel) {
    return std::min(valueOf(set, kAreaBeamCount, channel), kBeamsPerChannel);
}

int zeroPoint(const SetMemory& set, int channel, int beam) {
    return valueOf(set, kAreaZero, kBeamsPerChannel * channel + beam);
}

// Percent of the zero point; a zero point of 0 gives 0 rather than a division by zero.
int ratio(const SetMemory& set, int value, int channel, int beam) {
    const int zero = zeroPoint(set, channel, beam);
    return zero == 0 ? 0 : std::min(value * 100 / zero, kMaxRatio);
}

}  // namespace

BeamMonitor::BeamMonitor(std::uint64_t seed, bool steadyLight) : m_light(seed, steadyLight) {
    for (auto& channel : m_lightPercent) {
        channel.fill(kFullLight);
    }
}

void BeamMonitor::setLightPercent(int channel, int first, int last, int percent) {
    if (channel < 0 || channel >= kChannels) {
        return;
    }
    for (int b = std::max(first, 0); b <= std::min(last, kBeamsPerChannel - 1); ++b) {
        m_lightPercent[channel][b] = std::max(percent, 0);
    }
}

bool BeamMonitor::isMonitorRead(int id) {
    return id >= kAbsLevel && id <= kRatioOffTh;
}

int BeamMonitor::onThreshold(const SetMemory& set, int channel, int beam) {
    const int axis = valueOf(set, kAreaThreshold, kBeamsPerChannel * channel + beam);
    const int hys = valueOf(set, kAreaHys, channel);
    const bool onBased = valueOf(set, kAreaThCnf, channel) != 0;
    return std::clamp(onBased ? axis : axis + hys, 0, kMaxLevel);
}

int BeamMonitor::offThreshold(const SetMemory& set, int channel, int beam) {
    const int axis = valueOf(set, kAreaThreshold, kBeamsPerChannel * channel + beam);
    const int hys = valueOf(set, kAreaHys, channel);
    const bool onBased = valueOf(set, kAreaThCnf, channel) != 0;
    return std::clamp(onBased ? axis - hys : axis, 0, kMaxLevel);
}

BeamMonitor::Levels BeamMonitor::sample(const SetMemory& set, std::int64_t ms) {
    Levels levels{};
    for (int ch = 0; ch < kChannels; ++ch) {
        const int beams = beamCount(set, ch);
        for (int b = 0; b < beams; ++b) {
            const int level = std::min(
                m_light.level(ch, b, beams, ms) * m_lightPercent[ch][b] / kFullLight, kMaxLevel);
            levels[ch][b] = level;
            bool& incident = m_incident[ch][b];
            if (!m_statesKnown) {
                incident = level >= offThreshold(set, ch, b);
            }
            // A beam changes state only when its level leaves the band between the OFF
            // and the ON threshold.
            if (level >= onThreshold(set, ch, b)) {
                incident = true;
            } else if (level < offThreshold(set, ch, b)) {
                incident = false;
            }
        }
    }
    m_statesKnown = true;
    return levels;
}

std::string BeamMonitor::beamValue(const SetMemory& set, int id, int ch, int b,
                                   const Levels& levels) const {
    const bool present = b < beamCount(set, ch);
    switch (id) {
        case kAbsLevel:
            return hexByte(present ? levels[ch][b] : 0);
        case kRatioLevel:
            return hexWord(present ? ratio(set, levels[ch][b], ch, b) : 0);
        case kAbsOnTh:
            return hexByte(onThreshold(set, ch, b));
        case kAbsOffTh:
            return hexByte(offThreshold(set, ch, b));
        case kRatioOnTh:
            return hexWord(ratio(set, onThreshold(set, ch, b), ch, b));
        default:
            return hexWord(ratio(set, offThreshold(set, ch, b), ch, b));
    }
}

Response BeamMonitor::read(const SetMemory& set, int id, int start, int count, std::int64_t ms) {
    AreaRow area;
    area.elementCount =
        id == kBeamState ? kChannels * kFlagBytesPerChannel : kChannels * kBeamsPerChannel;
    ElementRange range;
    if (!resolveRange(area, start, count, range)) {
        return Response{kBadRange, {}};
    }
    const bool needsLevels = id == kAbsLevel || id == kRatioLevel || id == kBeamState;
    const Levels levels = needsLevels ? sample(set, ms) : Levels{};
    std::string out;
    for (int e = range.first; e < range.first + range.count; ++e) {
        if (id != kBeamState) {
            out += beamValue(set, id, e / kBeamsPerChannel, e % kBeamsPerChannel, levels);
            continue;
        }
        const int ch = e / kFlagBytesPerChannel;
        int byte = 0;
        for (int k = 0; k < 8; ++k) {
            const int b = (e % kFlagBytesPerChannel) * 8 + k;
            if (b < beamCount(set, ch) && m_incident[ch][b]) {
                byte |= 1 << k;
            }
        }
        out += hexByte(byte);
    }
    return Response{kOk, out};
}

void BeamMonitor::zeroReset(SetMemory& set, int first, int last, std::int64_t ms) {
    const Levels levels = sample(set, ms);
    for (int ch = first; ch <= last; ++ch) {
        for (int b = 0; b < beamCount(set, ch); ++b) {
            setValue(set, kAreaZero, kBeamsPerChannel * ch + b,
                     std::clamp(levels[ch][b], kMinZero, kMaxZero));
        }
    }
}

void BeamMonitor::teach(SetMemory& set, int first, int last, int reference, int percent) const {
    for (int ch = first; ch <= last; ++ch) {
        const int hys = valueOf(set, kAreaHys, ch);
        const bool onBased = valueOf(set, kAreaThCnf, ch) != 0;
        for (int b = 0; b < beamCount(set, ch); ++b) {
            const int target = zeroPoint(set, ch, b) * percent / 100;
            int on = 0;
            int off = 0;
            if (reference == kOnReference) {
                on = std::max(std::min(target, kMaxTeachOn), hys + kMinTeachOff);
                off = on - hys;
            } else {
                off = std::max(target, kMinTeachOff);
                if (off + hys > kMaxTeachOn) {
                    off = kMaxTeachOn - hys;
                }
                on = off + hys;
            }
            setValue(set, kAreaThreshold, kBeamsPerChannel * ch + b,
                     std::clamp(onBased ? on : off, 0, kMaxLevel));
        }
    }
}

}  // namespace qavix::sim
