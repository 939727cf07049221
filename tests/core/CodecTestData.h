#pragma once
// A settings set with a distinct value in every field the codec carries, consistent the way
// the controller holds it (OFF_TH = ON_TH - difference, the switch bits inside FUNCTION and
// FLO_CONF, flags only on existing beams), so an encode and decode must give it back.

#include <string>

#include "model/Codec.h"
#include "model/DeviceData.h"

namespace qavix::testdata {

inline void fillChannel(ChannelRecord& ch, int c) {
    ch.beamCount = 37 + 40 * c;  // 37, 77, 117: flag tables end inside a byte
    ch.type2 = 0x21 + c;
    ch.pitchText = codec::pitchText(ch.type2);
    ch.type3 = 0x30 + c;
    ch.verR = "R1" + std::to_string(c) + "A";
    ch.verE = "E2" + std::to_string(c) + "B";
    ch.sensorId = "0A1" + std::to_string(c);
    ch.onTh = 40 + c;
    ch.onOffDiff = 7 + c;
    ch.offTh = ch.onTh - ch.onOffDiff;
    ch.functionBit1 = 1;
    ch.functionBit2 = 0;
    ch.function = 0x43;  // bit 1 set, bit 2 clear, as the switches say
    ch.floConfBit4 = 1;
    ch.floConfBit5 = 0;
    ch.floConf = 0x12 + c;  // bit 4 set, bit 5 clear
    ch.fixConf = 0x03 + c;
    ch.subConf = 0x0F;
    ch.almConf = 0x04 + c;
    ch.timeConf = 0x1234 + c;
    ch.countConf = 0x09 + c;
    ch.setting77 = 0x77;
    ch.setting79 = 0x79;
    ch.setting81 = 0x81;
    ch.hys = 5 + c;
    ch.thCnf = c % 2;
    for (int b = 0; b < kMaxBeams; ++b) {
        const auto i = static_cast<size_t>(b);
        if (b < ch.beamCount) {
            ch.setAxis[i] = (b * 7 + c) % 3 == 0 ? beamBitWeight(b) : 0;
            ch.fixAxis[i] = (b * 5 + c) % 4 == 1 ? beamBitWeight(b) : 0;
        }
        ch.axisTh[i] = 20 + (b * 3 + c) % 200;
        ch.zero[i] = 30 + (b + 11 * c) % 180;
    }
}

inline SettingsData filledSet() {
    SettingsData s;
    for (int c = 0; c < kChannelCount; ++c) {
        fillChannel(s.channel(c), c);
    }
    GeneralBlock& g = s.general;
    g.type = "QX-AREA-SCANNER 2000";  // exactly 20 characters
    g.versionText = "VER1.23A";
    g.text59 = "TEXT59-ABCDEFGHI";
    g.idText = "00ABCD";
    for (size_t i = 0; i < kPioCount; ++i) {
        g.pio[i] = "80" + std::to_string(10 + i);
        g.pioInv[i] = static_cast<int32_t>(i % 2);
    }
    g.jointNum = 3;
    g.tchCnf = 1;
    g.allOnOffCnf = 2;
    g.fixCnf = {1, 0, 1};
    g.allOn = {0x0102, 0x0A0B, 0x7FFF};
    g.allOff = {0x0001, 0x00FF, 0x1000};
    g.paraCnf = 2;
    g.paraType = {1, 0};
    g.paraRes = {0x26, 0x01};
    g.paraUnit = {0, 1};
    g.grpCnf = 1;
    for (size_t i = 0; i < kGroupTableSize; ++i) {
        g.grpUp[i] = static_cast<int32_t>(i + 1);
        g.grpLow[i] = static_cast<int32_t>(100 + i);
    }
    g.bankFunction = 1;
    return s;
}

}  // namespace qavix::testdata
