#include "monitor/BeamSelection.h"

#include <algorithm>

#include "Translate.h"

namespace qavix::beams {

namespace {

int beamsOf(const SettingsData& set, int sensor) {
    return std::clamp(set.channel(sensor).beamCount, 0, kMaxBeams);
}

int connected(const SettingsData& set) {
    return std::clamp(set.general.jointNum, 0, kChannelCount);
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

int putCode(BeamFlagTable table) {
    return table == BeamFlagTable::Designated ? code::kPutSetAxis : code::kPutFixAxis;
}

const BeamTable& flagTable(const ChannelRecord& channel, BeamFlagTable table) {
    return table == BeamFlagTable::Designated ? channel.setAxis : channel.fixAxis;
}

BeamTable& flagTable(ChannelRecord& channel, BeamFlagTable table) {
    return table == BeamFlagTable::Designated ? channel.setAxis : channel.fixAxis;
}

std::vector<PageRead> tableReads(const SettingsData& set, BeamFlagTable table) {
    const int readCode = code::readOfPut(putCode(table));
    std::vector<PageRead> out;
    for (int s = 0; s < connected(set); ++s) {
        out.push_back(channelRead(readCode, s + 1, beamsOf(set, s)));
    }
    return out;
}

int pageChannel(int requested) {
    return requested >= 0 && requested <= kAllSensors ? requested : 0;
}

BeamRange::BeamRange(const SettingsData& set, int channel) : m_channel(pageChannel(channel)) {
    std::vector<int> sensors;
    if (m_channel == kAllSensors) {
        for (int s = 0; s < connected(set); ++s) {
            sensors.push_back(s);
        }
    } else {
        sensors.push_back(m_channel);
    }
    for (int s : sensors) {
        const int count = beamsOf(set, s);
        m_spans.push_back(Span{s, m_size, count});
        m_size += count;
    }
}

int BeamRange::chartBars() const {
    return std::min(m_size, kMaxBeams);
}

std::optional<BeamRef> BeamRange::at(int index) const {
    for (const Span& span : m_spans) {
        if (index >= span.first && index < span.first + span.count) {
            return BeamRef{span.sensor, index - span.first};
        }
    }
    return std::nullopt;
}

int BeamRange::indexOf(BeamRef ref) const {
    for (const Span& span : m_spans) {
        if (span.sensor == ref.sensor && ref.beam >= 0 && ref.beam < span.count) {
            return span.first + ref.beam;
        }
    }
    return -1;
}

std::string BeamRange::label(int index) const {
    const std::optional<BeamRef> ref = at(index);
    if (!ref) {
        return std::string();
    }
    const std::string number = std::to_string(ref->beam + 1);
    if (m_channel != kAllSensors) {
        return number;
    }
    return "CH" + std::to_string(ref->sensor + 1) + "-" + number;
}

bool isIncident(const ChannelRecord& channel, int beam, bool ratioDisplay) {
    const auto b = static_cast<size_t>(beam);
    if (ratioDisplay) {
        return channel.ratioLevel[b] > channel.ratioOnTh[b];
    }
    const int32_t on = channel.absOnTh[b] != 0 ? channel.absOnTh[b] : channel.thCnf;
    return channel.absLevel[b] > on;
}

bool isBlocked(const ChannelRecord& channel, int beam, bool ratioDisplay) {
    const auto b = static_cast<size_t>(beam);
    if (ratioDisplay) {
        return channel.ratioLevel[b] < channel.ratioOffTh[b];
    }
    const int32_t off = channel.absOffTh[b] != 0 ? channel.absOffTh[b] : channel.thCnf;
    return channel.absLevel[b] < off;
}

void BeamPicks::load(const SettingsData& set, BeamFlagTable table) {
    for (int s = 0; s < kChannelCount; ++s) {
        const BeamTable& flags = flagTable(set.channel(s), table);
        for (int b = 0; b < kMaxBeams; ++b) {
            m_on[static_cast<size_t>(s)][static_cast<size_t>(b)] =
                b < beamsOf(set, s) && flags[static_cast<size_t>(b)] != 0;
        }
    }
}

bool BeamPicks::picked(BeamRef ref) const {
    if (ref.sensor < 0 || ref.sensor >= kChannelCount || ref.beam < 0 || ref.beam >= kMaxBeams) {
        return false;
    }
    return m_on[static_cast<size_t>(ref.sensor)][static_cast<size_t>(ref.beam)];
}

bool BeamPicks::picked(const BeamRange& range, int index) const {
    const std::optional<BeamRef> ref = range.at(index);
    return ref && picked(*ref);
}

int BeamPicks::set(const BeamRange& range, int index, bool on) {
    const std::optional<BeamRef> ref = range.at(index);
    if (!ref || picked(*ref) == on) {
        return 0;
    }
    m_on[static_cast<size_t>(ref->sensor)][static_cast<size_t>(ref->beam)] = on;
    return 1;
}

int BeamPicks::setSpan(const BeamRange& range, int from, int to, bool on) {
    const int first = std::max(std::min(from, to), 0);
    const int last = std::min(std::max(from, to), range.size() - 1);
    int changed = 0;
    for (int i = first; i <= last; ++i) {
        changed += set(range, i, on);
    }
    return changed;
}

int BeamPicks::toggleRows(const BeamRange& range, const std::vector<int>& indexes, int current) {
    if (!range.at(current)) {
        return 0;
    }
    const bool on = !picked(range, current);
    int changed = 0;
    for (int i : indexes) {
        changed += set(range, i, on);
    }
    return changed;
}

int BeamPicks::designate(const SettingsData& set, const BeamRange& range, Designation what,
                         bool ratioDisplay) {
    int changed = 0;
    for (const BeamRange::Span& span : range.spans()) {
        const ChannelRecord& ch = set.channel(span.sensor);
        for (int b = 0; b < span.count; ++b) {
            const bool hit = what == Designation::Incident ? isIncident(ch, b, ratioDisplay)
                                                           : isBlocked(ch, b, ratioDisplay);
            if (hit) {
                changed += this->set(range, span.first + b, true);
            }
        }
    }
    return changed;
}

int BeamPicks::clear(const BeamRange& range) {
    return setSpan(range, 0, range.size() - 1, false);
}

int BeamPicks::count(const BeamRange& range) const {
    int n = 0;
    for (int i = 0; i < range.size(); ++i) {
        n += picked(range, i) ? 1 : 0;
    }
    return n;
}

bool BeamPicks::differs(const SettingsData& set, BeamFlagTable table, int sensor) const {
    const BeamTable& flags = flagTable(set.channel(sensor), table);
    for (int b = 0; b < beamsOf(set, sensor); ++b) {
        if (picked(BeamRef{sensor, b}) != (flags[static_cast<size_t>(b)] != 0)) {
            return true;
        }
    }
    return false;
}

void BeamPicks::storeInto(SettingsData& set, BeamFlagTable table, int sensor) const {
    BeamTable& flags = flagTable(set.channel(sensor), table);
    for (int b = 0; b < kMaxBeams; ++b) {
        const bool on = b < beamsOf(set, sensor) && picked(BeamRef{sensor, b});
        flags[static_cast<size_t>(b)] = on ? beamBitWeight(b) : 0;
    }
}

std::vector<int> sensorsToWrite(const SettingsData& set, BeamFlagTable table,
                                const BeamPicks& picks, const BeamRange& range) {
    std::vector<int> out;
    for (int s = 0; s < kChannelCount; ++s) {
        const bool shown = range.indexOf(BeamRef{s, 0}) >= 0;
        const bool edited = s < connected(set) && picks.differs(set, table, s);
        if ((shown || edited) && beamsOf(set, s) > 0) {
            out.push_back(s);
        }
    }
    return out;
}

std::vector<codec::PutRequest> writePuts(const SettingsData& set, BeamFlagTable table,
                                         const BeamPicks& picks, const BeamRange& range) {
    SettingsData copy = set;
    std::vector<codec::PutRequest> out;
    for (int s : sensorsToWrite(set, table, picks, range)) {
        picks.storeInto(copy, table, s);
        out.push_back(codec::encodePut(putCode(table), s + 1, copy));
    }
    return out;
}

ReturnTarget returnTarget(const std::string& title, bool listPage) {
    // The title is in the language of the texts; Japanese is always recognised.
    const auto names = [&title](const char* part) {
        return contains(title, part) || contains(title, i18n::translate(part));
    };
    if (names(N_("総合ON/OFF判定"))) {
        return ReturnTarget::OverallJudgement;
    }
    if (listPage) {
        for (const char* sensor : {N_("CH1 動作設定"), N_("CH2 動作設定"), N_("CH3 動作設定")}) {
            if (names(sensor)) {
                return ReturnTarget::SensorOperation;
            }
        }
        return ReturnTarget::None;
    }
    return names(N_("動作設定")) ? ReturnTarget::SensorOperation : ReturnTarget::None;
}

}  // namespace qavix::beams
