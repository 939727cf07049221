// The drift check: a controller's current values against its golden bank file.

#include <gtest/gtest.h>

#include "BankSample.h"
#include "fleet/DriftCheck.h"

namespace qavix::fleet {
namespace {

TEST(DriftCheck, AChangedBeamThresholdIsReportedAsItsFieldAlone) {
    const SettingsData golden = test::sampleBankSet();
    SettingsData live = golden;
    live.channel(1).axisTh[20] = 99;  // sensor 2, beam 21: the second line of its table
    const DriftResult r = compareWithGolden(golden, live);
    ASSERT_EQ(r.changes.size(), 1u);
    EXPECT_EQ(r.changes[0].field, "CONTROLLER.AXIS_TH2_2");
    EXPECT_EQ(r.changes[0].golden, "22,23,24,25,26,27,28,29,30,31,32,33,34,35,36,37");
    EXPECT_EQ(r.changes[0].live, "22,23,24,25,99,27,28,29,30,31,32,33,34,35,36,37");
}

TEST(DriftCheck, SeveralChangesComeInTheBankFilesOrder) {
    const SettingsData golden = test::sampleBankSet();
    SettingsData live = golden;
    live.general.grpCnf = 1;
    live.channel(2).hys = 7;
    live.channel(0).countConf = 4;
    const DriftResult r = compareWithGolden(golden, live);
    ASSERT_EQ(r.changes.size(), 3u);
    EXPECT_EQ(r.changes[0].field, "CH1.COUNT_CONF");
    EXPECT_EQ(r.changes[1].field, "CONTROLLER.HYS3");
    EXPECT_EQ(r.changes[1].golden, "0");
    EXPECT_EQ(r.changes[1].live, "7");
    EXPECT_EQ(r.changes[2].field, "CONTROLLER.GRP_CNF");
}

TEST(DriftCheck, WhatTellsUnitsApartAndBeamsASensorLacksAreNotCompared) {
    SettingsData golden = test::sampleBankSet();
    golden.channel(0).beamCount = 20;
    SettingsData live = golden;
    live.general.idText = "LINE-7";
    live.general.serialText = "0042Y02";
    live.channel(0).sensorId = "0007";
    live.channel(0).receiverSerial = "R123";
    live.channel(0).emitterSerial = "E123";
    live.channel(0).axisTh[25] = 200;  // beam 26 of a sensor with 20
    live.channel(0).zero[127] = 0;
    live.channel(0).fixAxis[30] = 1;
    EXPECT_TRUE(compareWithGolden(golden, live).same());
    // A value the bank file writes in another form (a threshold of 0 is stored as 18) is
    // compared as the file holds it.
    golden.channel(1).axisTh[0] = 18;
    live = golden;
    live.channel(1).axisTh[0] = 0;
    EXPECT_TRUE(compareWithGolden(golden, live).same());
}

struct Mismatch {
    const char* what;
    void (*change)(SettingsData&);
    const char* reason;
};

TEST(DriftCheck, AnotherControllerOrSensorSetDiffersWithItsReasonAlone) {
    const Mismatch cases[] = {
        {"type", [](SettingsData& s) { s.general.type = "QX-AS200  CONTROLLER"; },
         "another controller type: golden QX-AS100  CONTROLLER, live QX-AS200  CONTROLLER"},
        {"version", [](SettingsData& s) { s.general.versionText = "VER01.30"; },
         "another controller version: golden VER01.20, live VER01.30"},
        {"sensor count", [](SettingsData& s) { s.general.jointNum = 2; },
         "another number of sensors: golden 3, live 2"},
        {"beams", [](SettingsData& s) { s.channel(1).beamCount = 64; },
         "another sensor on CH2: golden 128 beams, live 64 beams"},
        {"sensor type", [](SettingsData& s) { s.channel(2).type2 = 0x14; },
         "another sensor on CH3: golden type 19/1, live type 20/1"},
        {"sensor type, second code", [](SettingsData& s) { s.channel(2).type3 = 2; },
         "another sensor on CH3: golden type 19/1, live type 19/2"},
        {"sensor version", [](SettingsData& s) { s.channel(0).verE = "0301"; },
         "another sensor on CH1: golden versions 0102/0201, live versions 0102/0301"},
    };
    const SettingsData golden = test::sampleBankSet();
    for (const Mismatch& c : cases) {
        SettingsData live = golden;
        c.change(live);
        live.channel(0).onTh = 60;  // also a changed setting, which is then not listed
        const DriftResult r = compareWithGolden(golden, live);
        EXPECT_FALSE(r.same()) << c.what;
        EXPECT_EQ(r.mismatch, c.reason) << c.what;
        EXPECT_TRUE(r.changes.empty()) << c.what;
    }
}

}  // namespace
}  // namespace qavix::fleet
