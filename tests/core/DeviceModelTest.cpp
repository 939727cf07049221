#include "model/DeviceModel.h"

#include <gtest/gtest.h>

namespace qavix {
namespace {

TEST(DeviceModel, SwitchingBanksKeepsEditsOfThePreviousBank) {
    DeviceModel model;
    model.selectSet(1);
    model.working().general.idText = "00ABCD";
    model.working().channel(0).axisTh[5] = 77;

    model.selectSet(2);
    EXPECT_EQ(model.storedSet(1).general.idText, "00ABCD");
    EXPECT_EQ(model.working().general.idText, "");
    EXPECT_EQ(model.selectedSet(), 2);

    model.selectSet(1);
    EXPECT_EQ(model.working().general.idText, "00ABCD");
    EXPECT_EQ(model.working().channel(0).axisTh[5], 77);
}

TEST(DeviceModel, SelectingTheSameSetOnlyReloads) {
    DeviceModel model;
    model.storedSet(0).general.idText = "000001";
    model.selectSet(0);
    model.working().general.idText = "edited";
    model.selectSet(0);
    EXPECT_EQ(model.working().general.idText, "000001");
    EXPECT_EQ(model.storedSet(0).general.idText, "000001");
}

TEST(DeviceModel, OutOfRangeSelectionIsIgnored) {
    DeviceModel model;
    model.selectSet(5);
    model.selectSet(-1);
    EXPECT_EQ(model.selectedSet(), 0);
}

TEST(DeviceModel, CopiesCarryTextsAndUnusedBeamEntries) {
    DeviceModel model;
    StoredSet& src = model.storedSet(0);
    src.channel(1).beamCount = 40;
    src.channel(1).zero[100] = 99;  // beyond the beam count: no meaning, still copied
    src.general.pio[3] = "8031";
    ASSERT_TRUE(model.copyStoredSet(3, 0));
    const StoredSet& dst = model.storedSet(3);
    EXPECT_EQ(dst.channel(1).zero[100], 99);
    EXPECT_EQ(dst.general.pio[3], "8031");
    EXPECT_EQ(dst.edited, 1);
    EXPECT_EQ(dst.writeAll, 1);
    EXPECT_EQ(dst.loaded, 1);
}

TEST(DeviceModel, CopyFromIncompatibleBankIsRefused) {
    DeviceModel model;
    model.storedSet(2).compatible = 0;
    model.storedSet(2).general.idText = "X";
    EXPECT_FALSE(model.copyStoredSet(4, 2));
    EXPECT_EQ(model.storedSet(4).general.idText, "");
    EXPECT_EQ(model.storedSet(4).edited, 0);
}

TEST(DeviceModel, CompatibilityComparesOnlyIdentityOfConnectedSensors) {
    DeviceModel model;
    auto identify = [](StoredSet& s) {
        s.general.type = "QX-CONTROLLER-100   ";
        s.general.versionText = "VER01.02";
        s.general.jointNum = 1;
        s.channel(0).beamCount = 40;
        s.channel(0).type2 = 0x12;
        s.channel(0).verR = "0103";
    };
    for (int t = 0; t < kStoredSetCount; ++t) {
        identify(model.storedSet(t));
    }
    model.storedSet(1).channel(1).type2 = 0x55;     // CH2 is not connected: ignored
    model.storedSet(1).channel(0).axisTh[0] = 150;  // a setting, not identity
    model.storedSet(2).channel(0).verR = "0104";
    model.storedSet(3).general.jointNum = 2;
    model.storedSet(4).general.type = "QX-CONTROLLER-200   ";
    model.storedSet(5).channel(0).beamCount = 32;
    model.checkCompatibility();
    EXPECT_EQ(model.storedSet(0).compatible, 1);
    EXPECT_EQ(model.storedSet(1).compatible, 1);
    EXPECT_EQ(model.storedSet(2).compatible, 0);
    EXPECT_EQ(model.storedSet(3).compatible, 0);
    EXPECT_EQ(model.storedSet(4).compatible, 0);
    EXPECT_EQ(model.storedSet(5).compatible, 0);
}

TEST(DeviceModel, EditStateBits) {
    DeviceModel model;
    model.storedSet(0).compatible = 1;
    model.storedSet(2).compatible = 1;
    EXPECT_EQ(model.editState(2), 0);
    EXPECT_EQ(model.editState(3), kEditIncompatible);

    model.selectSet(2);
    model.markEdited(2);
    EXPECT_EQ(model.editState(2), kEditAppliedUnwritten);
    model.working().pageEdited[7] = true;
    EXPECT_EQ(model.editState(2), kEditAppliedUnwritten | kEditPagePending);

    model.selectSet(0);  // the current set's edited flag never counts
    model.markEdited(0);
    model.working().pageEdited[7] = false;
    EXPECT_EQ(model.editState(0), 0);
}

TEST(DeviceModel, ClearBankRefusesTheCurrentSetAndSpare) {
    DeviceModel model;
    model.storedSet(1).compatible = 1;
    model.storedSet(1).edited = 1;
    EXPECT_TRUE(model.clearBank(1));
    EXPECT_EQ(model.storedSet(1).compatible, 0);
    EXPECT_EQ(model.storedSet(1).edited, 0);
    EXPECT_FALSE(model.clearBank(0));
    EXPECT_FALSE(model.clearBank(5));
}

TEST(DerivedThresholds, FollowThresholdConfiguration) {
    ChannelRecord ch;
    ch.beamCount = 2;
    ch.hys = 10;
    ch.axisTh[0] = 50;
    ch.zero[0] = 100;
    ch.axisTh[1] = 60;
    ch.zero[1] = 200;
    ch.axisTh[2] = 99;  // beyond the beam count: untouched

    ch.thCnf = 0;
    deriveThresholds(ch);
    EXPECT_EQ(ch.absOffTh[0], 50);
    EXPECT_EQ(ch.absOnTh[0], 60);
    EXPECT_EQ(ch.ratioOnTh[0], 60);
    EXPECT_EQ(ch.ratioOffTh[1], 30);
    EXPECT_EQ(ch.absOnTh[2], 0);

    ch.thCnf = 1;
    deriveThresholds(ch);
    EXPECT_EQ(ch.absOnTh[0], 50);
    EXPECT_EQ(ch.absOffTh[0], 40);
    EXPECT_EQ(ch.ratioOnTh[1], 30);  // 60 * 100 / 200
}

TEST(DerivedThresholds, ZeroPointOfZeroUsesTheControllersDefault) {
    ChannelRecord ch;
    ch.beamCount = 1;
    ch.hys = 5;
    ch.axisTh[0] = 40;
    ch.zero[0] = 0;
    deriveThresholds(ch);
    EXPECT_EQ(ch.ratioOffTh[0], 40 * 100 / kDefaultZeroPoint);
    EXPECT_EQ(ch.ratioOnTh[0], 45 * 100 / kDefaultZeroPoint);
}

TEST(DerivedThresholds, SetSkipsChannelsWithoutBeams) {
    StoredSet set;
    set.channel(0).beamCount = 128;
    set.channel(0).axisTh.fill(30);
    set.channel(0).zero.fill(60);
    set.channel(1).axisTh.fill(30);
    deriveThresholds(set);
    EXPECT_EQ(set.channel(0).absOffTh[127], 30);
    EXPECT_EQ(set.channel(0).ratioOffTh[127], 50);
    EXPECT_EQ(set.channel(1).absOffTh[0], 0);
}

}  // namespace
}  // namespace qavix
