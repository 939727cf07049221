// Decoding tables the settings report shares with the setting pages.

#include <gtest/gtest.h>

#include "model/BeamThresholds.h"
#include "model/ParallelOutputs.h"
#include "model/PioFunctions.h"
#include "model/ResponseTimes.h"
#include "model/SensorOutputs.h"
#include "model/SerialNumber.h"

namespace qavix {
namespace {

struct PioCase {
    const char* code;
    const char* name;
};

TEST(ReportTables, PioFunctionNameByCode) {
    const PioCase cases[] = {
        {"0000", "未設定"},
        {"", "未設定"},
        {"8000", "未設定"},
        {"0011", "未設定"},  // a first character 0 means not assigned whatever follows
        {"8010", "総合ON/OFF出力 遮光  CH1"},
        {"8011", "総合ON/OFF出力 入光  CH1"},
        {"8013", "総合ON/OFF出力 入光  CH2"},
        {"8015", "総合ON/OFF出力 入光  CH3"},
        {"8016", "該当無"},
        {"8030", "グループ1   　 遮光"},
        {"8038", "グループ9   　 遮光"},
        {"8039", "グループ10   　遮光"},
        {"8040", "グループ1   　 入光"},
        {"804F", "グループ16   　入光"},
        {"804f", "グループ16   　入光"},
        {"8050", "パラレル出力1   －   0bit"},
        {"805B", "パラレル出力1   －   11bit"},
        {"806A", "パラレル出力2   －   10bit"},
        {"8020", "該当無"},
        {"8070", "該当無"},
        {"80", "該当無"},
        {"X04F", "該当無"},
        {"804G", "該当無"},
    };
    for (const PioCase& c : cases) {
        EXPECT_EQ(pioFunctionName(c.code), c.name) << "code " << c.code;
    }
}

TEST(ReportTables, ParallelTargetNameFollowsTheOutputCode) {
    EXPECT_EQ(parallelTargetName(1), "CH1  遮光  最上位光軸番号");
    EXPECT_EQ(parallelTargetName(2), "CH1  入光  最上位光軸番号");
    EXPECT_EQ(parallelTargetName(3), "CH1  遮光  最下位光軸番号");
    EXPECT_EQ(parallelTargetName(6), "CH1  入光  総光軸数");
    EXPECT_EQ(parallelTargetName(22), "CH2  入光  総光軸数");
    EXPECT_EQ(parallelTargetName(0x26), "CH3  入光  総光軸数");
    EXPECT_EQ(parallelTargetName(33), "CH3  遮光  最上位光軸番号");
    for (int32_t code : {0, -1, 7, 16, 23, 39, 49, 255}) {
        EXPECT_EQ(parallelTargetName(code), "該当無") << "code " << code;
    }
}

TEST(ReportTables, SensorOutputNames) {
    EXPECT_EQ(sensorOutputName(0x01), "OUT1 同期出力");
    EXPECT_EQ(sensorOutputName(0x02), "最端光軸出力");
    EXPECT_EQ(sensorOutputName(0x05), "指定光軸出力");
    EXPECT_EQ(sensorOutputName(0x07), "ブランキング出力");
    EXPECT_EQ(sensorOutputName(0x0F), "OUT1 反転出力");
    for (int32_t code : {0, 0x09, 0x0E, 0x13, 0xFF}) {
        EXPECT_EQ(sensorOutputName(code), "該当無") << "code " << code;
    }
}

TEST(ReportTables, SensorSerialKeepsNumberAndYearAsStored) {
    EXPECT_EQ(formatSensorSerial("21110123"), "0123Y21");
    EXPECT_EQ(formatSensorSerial("2109ABCD"), "ABCD921");
    EXPECT_EQ(formatSensorSerial("21120001"), "0001Z21");
    EXPECT_EQ(formatSensorSerial("210A0001"), "0001021");  // not decimal: month unreadable
}

TEST(ReportTables, BeamOnOffFollowsThresholdConfiguration) {
    ChannelRecord ch;
    ch.axisTh[7] = 50;
    ch.hys = 10;
    ch.thCnf = 0;
    EXPECT_EQ(beamOnOff(ch, 7).on, 60);
    EXPECT_EQ(beamOnOff(ch, 7).off, 50);
    for (int32_t thCnf : {1, 2}) {
        ch.thCnf = thCnf;
        EXPECT_EQ(beamOnOff(ch, 7).on, 50) << "TH_CNF " << thCnf;
        EXPECT_EQ(beamOnOff(ch, 7).off, 40) << "TH_CNF " << thCnf;
    }
}

TEST(ReportTables, ResponseTimesAreMultiplesOfTheBase) {
    SettingsData set;
    set.channel(0).versionText = "1.5";
    const double base = responseTimeBase(set);
    EXPECT_EQ(formatPioResponseTime(base), "4.5ms");
    EXPECT_EQ(formatOut1ResponseTime(base), "1.5ms / 6.0ms");
    EXPECT_EQ(formatOut23ResponseTime(base), "3.0ms / 7.5ms");
    set.channel(0).versionText = "abc";
    EXPECT_EQ(formatPioResponseTime(responseTimeBase(set)), "0.0ms");
}

}  // namespace
}  // namespace qavix
