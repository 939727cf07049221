#include "monitor/BeamSelection.h"

#include <gtest/gtest.h>

#include "SensorSets.h"

namespace qavix::beams {
namespace {

using test::withSensors;

TEST(BeamRange, TwoSensorsTogetherMakeOneRowThatTheChartCuts) {
    const SettingsData set = withSensors({64, 80});
    const BeamRange all(set, kAllSensors);
    EXPECT_EQ(all.size(), 144);
    EXPECT_EQ(all.chartBars(), 128);
    ASSERT_EQ(all.spans().size(), 2U);
    EXPECT_EQ(all.spans()[1].first, 64);

    EXPECT_EQ(all.at(0), (BeamRef{0, 0}));
    EXPECT_EQ(all.at(63), (BeamRef{0, 63}));
    EXPECT_EQ(all.at(64), (BeamRef{1, 0}));
    EXPECT_EQ(all.at(127), (BeamRef{1, 63}));  // the chart's last bar
    EXPECT_EQ(all.at(143), (BeamRef{1, 79}));
    EXPECT_FALSE(all.at(144));
    EXPECT_FALSE(all.at(-1));
    EXPECT_EQ(all.indexOf(BeamRef{1, 79}), 143);
    EXPECT_EQ(all.indexOf(BeamRef{1, 80}), -1);
    EXPECT_EQ(all.indexOf(BeamRef{2, 0}), -1);  // not connected
    EXPECT_EQ(all.label(64), "CH2-1");

    const BeamRange second(set, 1);
    EXPECT_EQ(second.size(), 80);
    EXPECT_EQ(second.chartBars(), 80);
    EXPECT_EQ(second.at(0), (BeamRef{1, 0}));
    EXPECT_EQ(second.label(4), "5");
}

TEST(BeamRange, ChannelsOutsideTheRangeCountAsTheFirstSensor) {
    const SettingsData set = withSensors({40, 32});
    EXPECT_EQ(BeamRange(set, 7).channel(), 0);
    EXPECT_EQ(BeamRange(set, -1).size(), 40);
    // A single unconnected sensor has an empty row rather than another sensor's beams.
    EXPECT_EQ(BeamRange(set, 2).size(), 0);
}

TEST(BeamPicks, APickAcrossTheBoundaryWritesBothSensors) {
    SettingsData set = withSensors({64, 80});
    const BeamRange all(set, kAllSensors);
    BeamPicks picks;
    picks.load(set, BeamFlagTable::FixedBlanking);
    EXPECT_EQ(picks.setSpan(all, 66, 60, true), 7);  // 60..66 in either order
    EXPECT_TRUE(picks.picked(BeamRef{0, 63}));
    EXPECT_TRUE(picks.picked(BeamRef{1, 2}));
    EXPECT_FALSE(picks.picked(BeamRef{1, 3}));

    const std::vector<codec::PutRequest> puts =
        writePuts(set, BeamFlagTable::FixedBlanking, picks, all);
    ASSERT_EQ(puts.size(), 2U);
    EXPECT_EQ(puts[0].code, 18);
    EXPECT_EQ(puts[0].channel, 1);
    EXPECT_EQ(puts[0].count, 8);
    // Beams 60..63 are bits 4..7 of the eighth byte.
    EXPECT_EQ(puts[0].text, "00000000000000F0");
    EXPECT_EQ(puts[1].channel, 2);
    EXPECT_EQ(puts[1].start, 16);
    EXPECT_EQ(puts[1].count, 10);
    EXPECT_EQ(puts[1].text, "07000000000000000000");
    // The set itself is left alone until the write succeeded.
    EXPECT_EQ(set.channel(0).fixAxis[60], 0);

    picks.storeInto(set, BeamFlagTable::FixedBlanking, 1);
    EXPECT_EQ(set.channel(1).fixAxis[2], beamBitWeight(2));
    EXPECT_FALSE(picks.differs(set, BeamFlagTable::FixedBlanking, 1));
    EXPECT_TRUE(picks.differs(set, BeamFlagTable::FixedBlanking, 0));
}

TEST(BeamPicks, PicksBeyondTheChartAndClippedSpans) {
    const SettingsData set = withSensors({64, 80});
    const BeamRange all(set, kAllSensors);
    BeamPicks picks;
    EXPECT_EQ(picks.setSpan(all, 140, 500, true), 4);  // 140..143 only
    EXPECT_TRUE(picks.picked(BeamRef{1, 79}));
    EXPECT_EQ(picks.setSpan(all, -5, 1, true), 2);
    EXPECT_EQ(picks.count(all), 6);
    EXPECT_EQ(picks.set(all, 144, true), 0);
}

TEST(BeamPicks, WriteSendsTheShownSensorAndOthersEditedMeanwhile) {
    const SettingsData set = withSensors({40, 32, 24});
    BeamPicks picks;
    picks.load(set, BeamFlagTable::Designated);
    const BeamRange second(set, 1);
    // Nothing changed: the shown sensor is still written, so a write always sends its table.
    EXPECT_EQ(sensorsToWrite(set, BeamFlagTable::Designated, picks, second), (std::vector<int>{1}));
    const BeamRange third(set, 2);
    picks.set(third, 0, true);
    EXPECT_EQ(sensorsToWrite(set, BeamFlagTable::Designated, picks, second),
              (std::vector<int>{1, 2}));
    const auto puts = writePuts(set, BeamFlagTable::Designated, picks, second);
    ASSERT_EQ(puts.size(), 2U);
    EXPECT_EQ(puts[0].code, 5);
    EXPECT_EQ(puts[1].channel, 3);
    EXPECT_EQ(puts[1].text, "010000");
}

TEST(BeamPicks, LoadTakesOnlyTheSensorsBeams) {
    SettingsData set = withSensors({10});
    set.channel(0).setAxis[3] = beamBitWeight(3);
    set.channel(0).setAxis[12] = beamBitWeight(12);  // past the sensor's beams
    BeamPicks picks;
    picks.load(set, BeamFlagTable::Designated);
    EXPECT_TRUE(picks.picked(BeamRef{0, 3}));
    EXPECT_FALSE(picks.picked(BeamRef{0, 12}));
    picks.load(set, BeamFlagTable::FixedBlanking);
    EXPECT_FALSE(picks.picked(BeamRef{0, 3}));
}

// Sensor 1: beams 0..3 with ratio levels 90, 50, 30, 10 against ON 50 and OFF 30;
// absolute levels 120, 60, 5, 0 against ON 60 / OFF 40, beam 2 and 3 with thresholds 0
// judged against TH_CNF 4.
SettingsData levelSet() {
    SettingsData set = withSensors({4, 2});
    ChannelRecord& ch = set.channel(0);
    const int ratio[] = {90, 50, 30, 10};
    const int absolute[] = {120, 60, 5, 0};
    for (int b = 0; b < 4; ++b) {
        ch.ratioLevel[b] = ratio[b];
        ch.ratioOnTh[b] = 50;
        ch.ratioOffTh[b] = 30;
        ch.absLevel[b] = absolute[b];
        ch.absOnTh[b] = b < 2 ? 60 : 0;
        ch.absOffTh[b] = b < 2 ? 40 : 0;
    }
    ch.thCnf = 4;
    set.channel(1).ratioLevel[0] = 99;
    set.channel(1).ratioOnTh[0] = 50;
    return set;
}

TEST(BeamPicks, IncidentAndBlockedAreStrictAndFollowTheDisplay) {
    const SettingsData set = levelSet();
    const ChannelRecord& ch = set.channel(0);
    EXPECT_FALSE(isBlocked(ch, 2, true));  // at OFF
    EXPECT_TRUE(isIncident(ch, 0, false));
    EXPECT_FALSE(isIncident(ch, 1, false));
    EXPECT_TRUE(isIncident(ch, 2, false));  // 5 above TH_CNF 4
    EXPECT_FALSE(isBlocked(ch, 2, false));
    EXPECT_TRUE(isBlocked(ch, 3, false));  // 0 below TH_CNF 4
}

TEST(BeamPicks, DesignatingTwiceAddsNothingAndKeepsEarlierPicks) {
    const SettingsData set = levelSet();
    const BeamRange first(set, 0);
    BeamPicks picks;
    picks.set(first, 2, true);
    EXPECT_EQ(picks.designate(set, first, Designation::Incident, true), 1);
    EXPECT_EQ(picks.designate(set, first, Designation::Incident, true), 0);
    EXPECT_TRUE(picks.picked(first, 0));
    EXPECT_TRUE(picks.picked(first, 2));
    EXPECT_FALSE(picks.picked(BeamRef{1, 0}));  // the other sensor was not shown

    EXPECT_EQ(picks.designate(set, first, Designation::Blocked, true), 1);
    EXPECT_EQ(picks.count(first), 3);

    const BeamRange all(set, kAllSensors);
    EXPECT_EQ(picks.designate(set, all, Designation::Incident, true), 1);
    EXPECT_TRUE(picks.picked(BeamRef{1, 0}));
    EXPECT_EQ(picks.clear(all), 4);
    EXPECT_EQ(picks.count(all), 0);
}

TEST(BeamPicks, ClearingOneSensorLeavesTheOthers) {
    const SettingsData set = withSensors({8, 8});
    const BeamRange all(set, kAllSensors);
    BeamPicks picks;
    picks.setSpan(all, 0, 15, true);
    EXPECT_EQ(picks.clear(BeamRange(set, 1)), 8);
    EXPECT_EQ(picks.count(all), 8);
    EXPECT_TRUE(picks.picked(BeamRef{0, 7}));
}

TEST(BeamPicks, ToggledRowsAllFollowTheCurrentRow) {
    const SettingsData set = withSensors({10});
    const BeamRange r(set, 0);
    BeamPicks picks;
    picks.set(r, 4, true);
    // Current row unpicked: the whole mixed selection becomes picked.
    EXPECT_EQ(picks.toggleRows(r, {3, 4, 5}, 3), 2);
    EXPECT_EQ(picks.count(r), 3);
    // Current row picked: all unpicked.
    EXPECT_EQ(picks.toggleRows(r, {3, 4, 5}, 5), 3);
    EXPECT_EQ(picks.count(r), 0);
    EXPECT_EQ(picks.toggleRows(r, {1}, 99), 0);
}

TEST(BeamReturn, TheOpeningPageIsFoundInItsTitle) {
    EXPECT_EQ(returnTarget("総合ON/OFF判定", false), ReturnTarget::OverallJudgement);
    EXPECT_EQ(returnTarget("BANK 2 総合ON/OFF判定", true), ReturnTarget::OverallJudgement);
    EXPECT_EQ(returnTarget("CH2 動作設定", false), ReturnTarget::SensorOperation);
    EXPECT_EQ(returnTarget("BANK 1 CH3 動作設定", true), ReturnTarget::SensorOperation);
    EXPECT_EQ(returnTarget("動作設定", false), ReturnTarget::SensorOperation);
    EXPECT_EQ(returnTarget("動作設定", true), ReturnTarget::None);
    EXPECT_EQ(returnTarget("基本情報", false), ReturnTarget::None);
}

}  // namespace
}  // namespace qavix::beams
