#include "model/SensorOperation.h"

#include <algorithm>
#include <cctype>

#include "model/HexText.h"
#include "model/IdentificationNumber.h"
#include "model/SensorOutputs.h"

namespace qavix {

namespace {

constexpr int kRequestTimeoutMs = 1500;
constexpr int32_t kLargestTyped = 100000;  // beyond every limit; keeps the sum from overflowing
constexpr int kSerialBytes = 4;
constexpr int kIdBytes = 2;
constexpr int kSensorTextLength = 16;

enum PutCode : int {
    kPutOnThreshold = 6,
    kPutOffThreshold = 7,
    kPutSensorId = 8,
    kPutOut2 = 10,
    kPutOut3 = 11,
    kPutFixedBlanking = 16,
    kPutFloatingBlanking = 19,
    kPutFloatingMode = 20,
    kPutFloatingBeams = 22,
    kPutOnThresholdAgain = 27,
};

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

std::vector<codec::PutRequest> sensorOperationPuts(const SensorOperationValues& shown,
                                                   const SensorWriteTarget& target,
                                                   const SettingsData& stored) {
    SettingsData set = stored;
    const int c = target.channel - 1;
    ChannelRecord& ch = set.channel(c);
    const SensorOperationValues was = sensorOperationValues(stored.channel(c));
    std::vector<codec::PutRequest> puts;
    auto put = [&puts, &set](int code, int channel) {
        puts.push_back(codec::encodePut(code, channel, set));
    };

    if (!target.withoutId && !sensorIdMatches(shown.id, ch.sensorId)) {
        ch.sensorId = sensorIdWriteText(shown.id);
        put(kPutSensorId, target.channel);
    }
    if (target.channel == 1) {
        if (shown.out2 != was.out2) {
            ch.subConf = outputCode(shown.out2, ch.subConf);
            put(kPutOut2, target.channel);
        }
        if (shown.out3 != was.out3) {
            ch.almConf = outputCode(shown.out3, ch.almConf);
            put(kPutOut3, target.channel);
        }
    }
    if (!target.extended) {
        return puts;
    }
    if (shown.thresholds.on != ch.onTh) {
        ch.onTh = shown.thresholds.on;
        ch.offTh = shown.thresholds.off;
        put(kPutOnThreshold, target.channel);
        put(kPutOffThreshold, target.channel);
        put(kPutOnThresholdAgain, target.channel);
    }
    const int joint = std::clamp(target.jointNum, 1, kChannelCount);
    // The blanking switches of CH1 hold for the whole curtain: every further sensor gets
    // them too, also when CH1's own value is unchanged.
    auto blankingSwitch = [&](int32_t ChannelRecord::*field, int choice, int wasChoice, int code) {
        if (choice != wasChoice) {
            ch.*field = switchValue(choice);
            put(code, target.channel);
        }
        if (target.channel == 1) {
            for (int other = 2; other <= joint; ++other) {
                set.channel(other - 1).*field = switchValue(choice);
                put(code, other);
            }
        }
    };
    blankingSwitch(&ChannelRecord::functionBit2, shown.floating, was.floating,
                   kPutFloatingBlanking);
    if (shown.mode != was.mode) {
        ch.floConfBit4 = shown.mode == kChoiceContinuous ? 1 : 0;
        put(kPutFloatingMode, target.channel);
    }
    if (shown.floatingBeams != was.floatingBeams) {
        // The switches share FLO_CONF with the number of beams; writing the number alone
        // would clear the mode just written.
        int32_t flo = (ch.floConf & ~kFloatingBeamsMask) | shown.floatingBeams;
        const int32_t modeBit = 0x10;
        flo = ch.floConfBit4 != 0 ? (flo | modeBit) : (flo & ~modeBit);
        ch.floConf = flo;
        put(kPutFloatingBeams, target.channel);
    }
    blankingSwitch(&ChannelRecord::functionBit1, shown.fixed, was.fixed, kPutFixedBlanking);
    return puts;
}

std::vector<PageRead> sensorOperationReads(int channel) {
    const int c = channel - 1;
    std::vector<PageRead> reads = {
        {58, channel, 0, kSensorTextLength, kRequestTimeoutMs},
        {82, channel, kSerialBytes * c, kSerialBytes, kRequestTimeoutMs},
        {70, channel, kSerialBytes * c, kSerialBytes, kRequestTimeoutMs},
        {69, channel, kIdBytes * c, kIdBytes, kRequestTimeoutMs},
    };
    for (int code : {73, 74, 67, 68, 98, 99, 101, 95}) {
        reads.push_back({code, channel, c, 1, kRequestTimeoutMs});
    }
    reads.push_back({72, 1, 0, kChannelCount, kRequestTimeoutMs});
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
