#pragma once
// The stored set that data/bank_sample.qbk describes, built field by field.

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "files/TextFile.h"
#include "model/DeviceData.h"

namespace qavix::test {

inline constexpr const char* kSampleTitle = "受光テスト ライン2";

inline std::string sampleBankPath() {
    return std::string(QAVIX_TEST_DATA) + "/bank_sample.qbk";
}

// The sample file's text, with `from` replaced by `to` once when given.
inline std::string sampleBankText(const std::string& from = {}, const std::string& to = {}) {
    const textfile::TextReadResult read = textfile::readText(sampleBankPath());
    EXPECT_TRUE(read.ok()) << sampleBankPath();
    std::string text = read.text;
    const size_t at = from.empty() ? std::string::npos : text.find(from);
    EXPECT_TRUE(from.empty() || at != std::string::npos) << "not in the sample: " << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// 2024/03/05 14:07:09, the DATE of the sample file.
inline std::tm sampleTime() {
    std::tm t{};
    t.tm_year = 124;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    return t;
}

inline SettingsData sampleBankSet() {
    SettingsData s;
    const int beams[] = {40, 128, 16};
    const int type2[] = {0x12, 0x11, 0x13};
    const int onTh[] = {30, 50, 100};
    const int timeConf[] = {100, 0x1F4, 0};
    const int hys[] = {5, 10, 0};
    const int thCnf[] = {1, 0, 1};
    for (int n = 0; n < kChannelCount; ++n) {
        ChannelRecord& c = s.channel(n);
        c.beamCount = beams[n];
        c.type2 = type2[n];
        c.type3 = 1;
        c.verR = "0102";
        c.verE = "0201";
        c.onTh = onTh[n];
        c.offTh = onTh[n] - 10;
        c.function = 1;
        c.fixConf = 1;
        c.floConf = 2;
        c.timeConf = timeConf[n];
        c.countConf = 3;
        c.almConf = 1;
        c.hys = hys[n];
        c.thCnf = thCnf[n];
        for (int i = 0; i < kMaxBeams; ++i) {
            c.axisTh[static_cast<size_t>(i)] = (n + 1) * 10 + (i / 16 + 1) + i % 16;
            c.zero[static_cast<size_t>(i)] = 100 + n + 1;
        }
    }
    s.channel(0).fixAxis[0] = 1;
    s.channel(0).fixAxis[1] = 2;
    s.channel(0).setAxis[7] = 128;
    s.channel(1).setAxis[120] = 1;
    for (int i = 0; i < 16; ++i) {
        s.channel(2).fixAxis[static_cast<size_t>(i)] = beamBitWeight(i);
    }

    GeneralBlock& g = s.general;
    g.type = "QX-AS100  CONTROLLER";
    g.versionText = "VER01.20";
    g.jointNum = 3;
    g.tchCnf = 0x10;
    const char* pio[] = {"8010", "8011", "8030", "805B", "8060", "806B", "8000", "0000"};
    for (int i = 0; i < kPioCount; ++i) {
        g.pio[static_cast<size_t>(i)] = i < 8 ? pio[i] : "0000";
    }
    g.pioInv[0] = 1;
    g.pioInv[15] = 1;
    g.fixCnf = {1, 0, 0};
    g.allOnOffCnf = 2;
    g.allOn = {16, 128, 0};
    g.allOff = {1, 2, 3};
    g.paraCnf = 1;
    g.paraType = {1, 0};
    g.paraRes = {0x16, 0x21};
    g.paraUnit = {0, 1};
    g.grpCnf = 2;
    const int upAx[] = {1, 17, 33};
    const int lowAx[] = {16, 32, 128};
    for (size_t i = 0; i < 3; ++i) {
        g.grpUp[i] = upAx[i];
        g.grpUp[kGroupCount + i] = static_cast<int32_t>(i + 1);
        g.grpLow[i] = lowAx[i];
        g.grpLow[kGroupCount + i] = static_cast<int32_t>(i + 1);
    }
    return s;
}

}  // namespace qavix::test
