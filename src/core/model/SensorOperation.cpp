#include "model/SensorOperation.h"

#include <algorithm>
#include <cctype>

#include "model/HexText.h"
#include "model/IdentificationNumber.h"
#include "model/SensorOutputs.h"

namespace qavix {

namespace {

constexpr int32_t kLargestTyped = 100000;  // beyond every limit; keeps the sum from overflowing
constexpr int kSensorTextLength = 16;
// FLO_CONF bit 4, the floating-blanking mode.
constexpr int32_t kFloatingModeBit = 0x10;

int enableChoice(int32_t switchValue) {
    return switchValue != 0 ? kChoiceEnabled : kChoiceDisabled;
}

int32_t switchValue(int choice) {
    return choice == kChoiceEnabled ? 1 : 0;
}

int32_t outputCode(int entry, int32_t stored) {
    const std::vector<SensorOutputChoice>& choices = sensorOutputChoices();
    if (entry >= 0 && static_cast<size_t>(entry) < choices.size()) {
        return choices[static_cast<size_t>(entry)].code;
    }
    return stored;
}

}  // namespace

bool SensorOperationValues::operator==(const SensorOperationValues& o) const {
    return id == o.id && out2 == o.out2 && out3 == o.out3 && thresholds == o.thresholds &&
           floating == o.floating && mode == o.mode && floatingBeams == o.floatingBeams &&
           fixed == o.fixed;
}

int32_t thresholdTextValue(std::string_view text) {
    int32_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            break;
        }
        value = std::min(value * 10 + (c - '0'), kLargestTyped);
    }
    return value;
}

ThresholdPair onThresholdEntered(int32_t typed, int32_t difference) {
    const int32_t on = std::clamp(typed, kMinOnThreshold, kMaxOnThreshold);
    return {on, on - difference};
}

ThresholdPair offThresholdEntered(int32_t typed, int32_t difference) {
    int32_t off = std::max(typed, kMinOffThreshold);
    if (off > kMaxOnThreshold) {
        off = kOffThresholdFallback;
    }
    return {off + difference, off};
}

int sensorOutputEntry(int32_t code) {
    const int index = sensorOutputChoiceIndex(code);
    return index >= 0 ? index : static_cast<int>(sensorOutputChoices().size());
}

SensorOperationValues sensorOperationValues(const ChannelRecord& channel) {
    SensorOperationValues v;
    v.id = channel.sensorId;
    v.out2 = sensorOutputEntry(channel.subConf);
    v.out3 = sensorOutputEntry(channel.almConf);
    v.thresholds = {channel.onTh, channel.offTh};
    v.floating = enableChoice(channel.functionBit2);
    v.mode = channel.floConfBit4 != 0 ? kChoiceContinuous : kChoiceNonContinuous;
    v.floatingBeams = std::clamp(channel.floConf & kFloatingBeamsMask, 0, kFloatingBeamChoices - 1);
    v.fixed = enableChoice(channel.functionBit1);
    return v;
}

std::string sensorIdWriteText(std::string_view text) {
    const std::optional<int32_t> value = text.empty() ? 0 : hex::parseHex(text, kSensorIdMaxLength);
    return hex::wordHex(value.value_or(0));
}

bool sensorIdMatches(std::string_view text, const std::string& stored) {
    return text == stored || (isValidIdText(text) && sensorIdWriteText(text) == stored);
}

// The puts of one write in order, each encoded from a copy of the stored set that has taken
// the values sent before it.
class SensorPuts {
  public:
    SensorPuts(const SensorOperationValues& shown, const SensorWriteTarget& target,
               const SettingsData& stored)
        : m_shown(shown),
          m_target(target),
          m_set(stored),
          m_ch(m_set.channel(target.channel - 1)),
          m_was(sensorOperationValues(stored.channel(target.channel - 1))) {}

    void identification();
    void thresholds();
    void blanking();
    std::vector<codec::PutRequest> take() { return std::move(m_puts); }

  private:
    void put(int putCode, int channel) {
        m_puts.push_back(codec::encodePut(putCode, channel, m_set));
    }
    void put(int putCode) { put(putCode, m_target.channel); }
    void blankingSwitch(int32_t ChannelRecord::*field, int choice, int wasChoice, int putCode);
    void floatingBeams();

    const SensorOperationValues& m_shown;
    const SensorWriteTarget& m_target;
    SettingsData m_set;
    ChannelRecord& m_ch;
    const SensorOperationValues m_was;
    std::vector<codec::PutRequest> m_puts;
};

void SensorPuts::identification() {
    if (!m_target.withoutId && !sensorIdMatches(m_shown.id, m_ch.sensorId)) {
        m_ch.sensorId = sensorIdWriteText(m_shown.id);
        put(code::kPutSensorId);
    }
    if (m_target.channel != 1) {
        return;
    }
    if (m_shown.out2 != m_was.out2) {
        m_ch.subConf = outputCode(m_shown.out2, m_ch.subConf);
        put(code::kPutSubConf);
    }
    if (m_shown.out3 != m_was.out3) {
        m_ch.almConf = outputCode(m_shown.out3, m_ch.almConf);
        put(code::kPutAlmConf);
    }
}

void SensorPuts::thresholds() {
    if (m_shown.thresholds.on == m_ch.onTh) {
        return;
    }
    m_ch.onTh = m_shown.thresholds.on;
    m_ch.offTh = m_shown.thresholds.off;
    put(code::kPutOnTh);
    put(code::kPutOffTh);
    put(code::kPutOnThAgain);
}

// The blanking switches of CH1 hold for the whole curtain: every further sensor gets them
// too, also when CH1's own value is unchanged.
void SensorPuts::blankingSwitch(int32_t ChannelRecord::*field, int choice, int wasChoice,
                                int putCode) {
    if (choice != wasChoice) {
        m_ch.*field = switchValue(choice);
        put(putCode);
    }
    if (m_target.channel != 1) {
        return;
    }
    const int joint = std::clamp(m_target.jointNum, 1, kChannelCount);
    for (int other = 2; other <= joint; ++other) {
        m_set.channel(other - 1).*field = switchValue(choice);
        put(putCode, other);
    }
}

void SensorPuts::floatingBeams() {
    // The switches share FLO_CONF with the number of beams; writing the number alone would
    // clear the mode just written.
    int32_t flo = (m_ch.floConf & ~kFloatingBeamsMask) | m_shown.floatingBeams;
    flo = m_ch.floConfBit4 != 0 ? (flo | kFloatingModeBit) : (flo & ~kFloatingModeBit);
    m_ch.floConf = flo;
    put(code::kPutFloConf);
}

void SensorPuts::blanking() {
    blankingSwitch(&ChannelRecord::functionBit2, m_shown.floating, m_was.floating,
                   code::kPutFunctionBit2);
    if (m_shown.mode != m_was.mode) {
        m_ch.floConfBit4 = m_shown.mode == kChoiceContinuous ? 1 : 0;
        put(code::kPutFloConfBit4);
    }
    if (m_shown.floatingBeams != m_was.floatingBeams) {
        floatingBeams();
    }
    blankingSwitch(&ChannelRecord::functionBit1, m_shown.fixed, m_was.fixed,
                   code::kPutFunctionBit1);
}

std::vector<codec::PutRequest> sensorOperationPuts(const SensorOperationValues& shown,
                                                   const SensorWriteTarget& target,
                                                   const SettingsData& stored) {
    SensorPuts puts(shown, target, stored);
    puts.identification();
    if (target.extended) {
        puts.thresholds();
        puts.blanking();
    }
    return puts.take();
}

std::vector<PageRead> sensorIdentityReads(int channel) {
    std::vector<PageRead> reads;
    for (int read : {code::kReadEmitterSerial, code::kReadReceiverSerial, code::kReadSensorId}) {
        reads.push_back(channelRead(read, channel));
    }
    return reads;
}

std::vector<PageRead> sensorOperationReads(int channel) {
    std::vector<PageRead> reads = {
        {code::kReadSensorModel, channel, 0, kSensorTextLength, kRequestTimeoutMs},
    };
    for (const PageRead& read : sensorIdentityReads(channel)) {
        reads.push_back(read);
    }
    for (int read : {code::kReadSubConf, code::kReadAlmConf, code::kReadOnTh, code::kReadOffTh,
                     code::kReadFunctionBit2, code::kReadFloConfBit4, code::kReadFloConf,
                     code::kReadFunctionBit1}) {
        reads.push_back(channelRead(read, channel));
    }
    reads.push_back({code::kReadBeamCounts, 1, 0, kChannelCount, kRequestTimeoutMs});
    return reads;
}

void applySensorDefaults(SensorOperationValues& values, int channel, bool extended) {
    if (channel == 1) {
        values.out2 = sensorOutputChoiceIndex(0x0F);
        values.out3 = sensorOutputChoiceIndex(0x01);
    }
    if (!extended) {
        return;
    }
    values.thresholds = {kMinOnThreshold, kMinOffThreshold};
    if (channel == 1) {
        values.floating = kChoiceDisabled;
        values.fixed = kChoiceDisabled;
    }
    values.mode = kChoiceNonContinuous;
    values.floatingBeams = 0;
}

}  // namespace qavix
