#include "sim/FactorySettings.h"

#include <cstdio>
#include <string>

#include "sim/AreaAccess.h"

namespace qavix::sim {

namespace {

constexpr int kChannels = 3;
constexpr int kBeamsPerChannel = 128;
constexpr int kOnTh = 50;
constexpr int kOffTh = 40;
constexpr int kFunction = 0x01;
constexpr int kTimeConf = 0x0064;
constexpr int kCountConf = 0x03;
constexpr int kSubConf = 0x01;  // OUT2 follows OUT1
constexpr int kAlmConf = 0x04;  // OUT3 on lockout
constexpr int kType3 = 0x01;
constexpr int kTeachConf = 0x10;
constexpr int kParaRes = 0x01;
constexpr int kBankFunctionOn = 1;
constexpr int kThCnfOnThreshold = 1;
constexpr int kBank2Threshold = 45;
constexpr int kBank3Threshold = 60;

// Low nibble: the beam pitch (1 9 mm ... 5 60 mm); high nibble: the sensor family.
constexpr int kSensorType2[kChannels] = {0x12, 0x13, 0x22};
const char* const kSensorModel[kChannels] = {"QXS-15R", "QXS-30R", "QXS-15L"};

// P-I/O pins 1..16: outputs, inputs, bank select and two free pins.
const char* const kPioFactory[16] = {"8010", "8011", "8012", "8013", "8014", "8015",
                                     "8030", "8031", "8032", "8033", "8060", "8061",
                                     "8000", "8000", "0000", "0000"};

std::string hex4(int value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", value & 0xFFFF);
    return buf;
}

void channelDefaults(SetMemory& m, int ch, int beams) {
    const bool connected = beams > 0;
    setValue(m, 72, ch, beams);
    setValue(m, 84, ch, connected ? kSensorType2[ch] : 0);
    setValue(m, 85, ch, connected ? kType3 : 0);
    setHex(m, 78, ch, connected ? "0103" : "0000");
    setHex(m, 83, ch, connected ? "0102" : "0000");
    setValue(m, 67, ch, kOnTh);
    setValue(m, 68, ch, kOffTh);
    setValue(m, 71, ch, kFunction);
    setHex(m, 75, ch, hex4(kTimeConf));
    setValue(m, 76, ch, kCountConf);
    setValue(m, 73, ch, kSubConf);
    setValue(m, 74, ch, kAlmConf);
    setValue(m, 104, ch, kFactoryHysteresis);
    setValue(m, 105, ch, kThCnfOnThreshold);
    setValue(m, 106, ch, kOnTh - kOffTh);
    for (int b = 0; b < kBeamsPerChannel; ++b) {
        setValue(m, 103, kBeamsPerChannel * ch + b, kFactoryThreshold);
        setValue(m, 102, kBeamsPerChannel * ch + b, kFactoryZero);
    }
    if (connected) {
        char model[24];
        std::snprintf(model, sizeof model, "%s%03d", kSensorModel[ch], beams);
        setText(m, 58, ch, model);
        setHex(m, 60, ch, "0102");
        setHex(m, 69, ch, hex4(ch + 1));
        // Serials: year, month, number (hexadecimal fields).
        setHex(m, 70, ch, "1407" + hex4(0x0210 + 2 * ch));
        setHex(m, 82, ch, "1407" + hex4(0x0211 + 2 * ch));
    } else {
        setText(m, 58, ch, "");
        setHex(m, 70, ch, "00000000");
        setHex(m, 82, ch, "00000000");
    }
}

}  // namespace

SetMemory factorySettings(const std::vector<int>& beams) {
    SetMemory m(static_cast<size_t>(memorySize()), 0);
    for (int ch = 0; ch < kChannels; ++ch) {
        channelDefaults(m, ch, ch < static_cast<int>(beams.size()) ? beams[ch] : 0);
    }
    setText(m, 57, 0, "QX-AS300 CONTROLLER ");
    const std::string version = "01.20";
    for (int i = 0; i < image::kSoftwareVersionLength; ++i) {
        m[image::kGeneral + image::kSoftwareVersion + i] = static_cast<std::uint8_t>(version[i]);
    }
    setHex(m, 80, 0, "0" + std::to_string(beams.size()));
    setValue(m, 148, 0, kTeachConf);
    for (int pin = 0; pin < 16; ++pin) {
        setHex(m, 63, pin, kPioFactory[pin]);
        setHex(m, 64, pin, pin >= 8 && pin < 10 ? "01" : "00");
    }
    setValue(m, 135, 0, kParaRes);
    setValue(m, 135, 1, kParaRes);
    setText(m, 59, 0, "LINE-A STATION 1");
    setHex(m, 61, 0, "1409012C");
    setHex(m, 62, 0, "000101");
    setValue(m, 149, 0, kBankFunctionOn);
    setText(m, kAreaControlText3, 0, "QXC-0300");
    return m;
}

std::array<SetMemory, kBankCount> factoryBanks(const SetMemory& current) {
    std::array<SetMemory, kBankCount> banks;
    for (auto& bank : banks) {
        bank.assign(current.begin(), current.begin() + kImageSize);
    }
    for (int ch = 0; ch < kChannels; ++ch) {
        const int beams = valueOf(current, 72, ch);
        for (int b = 0; b < beams; ++b) {
            banks[1][image::kThreshold + kBeamsPerChannel * ch + b] = kBank2Threshold;
            banks[2][image::kThreshold + kBeamsPerChannel * ch + b] = kBank3Threshold;
        }
    }
    return banks;
}

}  // namespace qavix::sim
