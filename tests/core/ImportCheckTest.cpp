#include "model/ImportCheck.h"

#include <gtest/gtest.h>

#include "BankSample.h"

namespace qavix {
namespace {

using Change = void (*)(SettingsData&);

std::string firstFailure(Change change) {
    SettingsData set = test::sampleBankSet();
    change(set);
    return findOutOfRangeField(set).value_or("(passed)");
}

TEST(ImportCheck, ReportsEachFieldByItsFileName) {
    struct Case {
        Change change;
        const char* name;
    };
    const Case cases[] = {
        {[](SettingsData& s) { s.general.jointNum = 0; }, "JOINT_NUM"},
        {[](SettingsData& s) { s.general.jointNum = 4; }, "JOINT_NUM"},
        {[](SettingsData& s) { s.general.pio[6] = "8001"; }, "PIO_07"},
        {[](SettingsData& s) { s.general.pio[15] = "806C"; }, "PIO_16"},
        {[](SettingsData& s) { s.general.pio[0] = "80ZZ"; }, "PIO_01"},
        {[](SettingsData& s) { s.general.pio[9] = "0x10"; }, "PIO_10"},
        {[](SettingsData& s) { s.general.tchCnf = 0x12; }, "TCH_CNF"},
        {[](SettingsData& s) { s.general.fixCnf[1] = 2; }, "FIX_CNF2"},
        {[](SettingsData& s) { s.general.allOn[2] = 129; }, "ALL_ON3"},
        {[](SettingsData& s) { s.general.allOff[0] = -1; }, "ALL_OFF1"},
        {[](SettingsData& s) { s.general.allOnOffCnf = 3; }, "ALL_ONOFF_CNF"},
        {[](SettingsData& s) { s.general.paraCnf = 3; }, "PARA_CNFF"},
        {[](SettingsData& s) { s.general.paraType[1] = 2; }, "PARA_TYPE2"},
        {[](SettingsData& s) { s.general.paraRes[0] = 0x10; }, "PARA_RES1"},
        {[](SettingsData& s) { s.general.paraRes[1] = 0x27; }, "PARA_RES2"},
        {[](SettingsData& s) { s.general.paraUnit[0] = 2; }, "PARA_UNIT1"},
        {[](SettingsData& s) { s.general.grpCnf = 3; }, "GRP_CNF"},
        {[](SettingsData& s) { s.general.grpUp[15] = 129; }, "GRP_UP_AX"},
        {[](SettingsData& s) { s.general.grpUp[31] = 4; }, "GRP_UP_CH"},
        {[](SettingsData& s) { s.general.grpLow[0] = 129; }, "GRP_LOW_AX"},
        {[](SettingsData& s) { s.general.grpLow[16] = 4; }, "GRP_LOW_CH"},
        {[](SettingsData& s) { s.channel(1).axisTh[16] = 201; }, "AXIS_TH2_2"},
        {[](SettingsData& s) { s.channel(0).axisTh[127] = -1; }, "AXIS_TH1_8"},
        {[](SettingsData& s) { s.channel(2).zero[15] = 19; }, "ZERO3_1"},
        {[](SettingsData& s) { s.channel(0).zero[112] = 201; }, "ZERO1_8"},
        {[](SettingsData& s) { s.channel(1).hys = 201; }, "HYS2"},
        {[](SettingsData& s) { s.channel(2).thCnf = 2; }, "TH_CNF3"},
        {[](SettingsData& s) { s.channel(0).onTh = 17; }, "ON_TH1"},
        {[](SettingsData& s) { s.channel(0).onTh = 101; }, "ON_TH1"},
        {[](SettingsData& s) { s.channel(1).offTh = 7; }, "OFF_TH2"},
        {[](SettingsData& s) { s.channel(1).offTh = 93; }, "OFF_TH2"},
        {[](SettingsData& s) { s.channel(0).onTh = s.channel(0).offTh = 18; }, "ON_OFF_TH1"},
        {[](SettingsData& s) { s.channel(2).functionBit1 = 2; }, "FUNCTION3"},
        {[](SettingsData& s) { s.channel(0).fixConf = 2; }, "FIX_CONF1"},
        {[](SettingsData& s) { s.channel(1).functionBit2 = 2; }, "FLO_CONF2"},
        {[](SettingsData& s) { s.channel(1).floConfBit5 = -1; }, "FLO_CONF2"},
        {[](SettingsData& s) { s.channel(2).floConf = 4; }, "FLO_CONF3"},
        {[](SettingsData& s) { s.channel(2).floConf = 0x43; }, "FLO_CONF3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstFailure(c.change), c.name);
    }
}

TEST(ImportCheck, AcceptsTheEdgesOfEveryRange) {
    const Change edges[] = {
        [](SettingsData& s) { s.general.jointNum = 1; },
        [](SettingsData& s) { s.general.pio = {"0000", "8000", "8015", "805b", "806B", ""}; },
        [](SettingsData& s) { s.general.tchCnf = 0x11; },
        [](SettingsData& s) {
            s.general.paraRes = {0x26, 0x11};
        },
        [](SettingsData& s) {
            s.general.allOn = {128, 0, 128};
        },
        [](SettingsData& s) { s.channel(0).axisTh.fill(200); },
        [](SettingsData& s) { s.channel(0).zero.fill(20); },
        [](SettingsData& s) { s.channel(0).onTh = 100, s.channel(0).offTh = 92; },
        [](SettingsData& s) { s.channel(0).onTh = 19, s.channel(0).offTh = 18; },
        // Bits 4 and 5 of FLO_CONF are its two switches, not part of the setting.
        [](SettingsData& s) { s.channel(0).floConf = 0x33, s.channel(0).floConfBit4 = 1; },
    };
    for (Change change : edges) {
        EXPECT_EQ(firstFailure(change), "(passed)");
    }
}

TEST(ImportCheck, FirstFailureInCheckOrderWins) {
    // Sensors are checked one after the other, each with its beams first.
    EXPECT_EQ(firstFailure([](SettingsData& s) {
                  s.channel(1).zero[0] = 0;
                  s.channel(0).hys = 255;
              }),
              "HYS1");
    EXPECT_EQ(firstFailure([](SettingsData& s) {
                  s.channel(0).onTh = 0;
                  s.channel(0).axisTh[50] = 255;
              }),
              "AXIS_TH1_4");
    // Controller-wide fields come before every sensor, whatever the joint number.
    EXPECT_EQ(firstFailure([](SettingsData& s) {
                  s.general.jointNum = 1;
                  s.channel(2).onTh = 0;
                  s.general.grpCnf = 9;
              }),
              "GRP_CNF");
    EXPECT_EQ(firstFailure([](SettingsData& s) {
                  s.general.jointNum = 1;
                  s.channel(2).onTh = 0;
              }),
              "ON_TH3");
}

}  // namespace
}  // namespace qavix
