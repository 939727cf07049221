// Threshold tuning rules: the batch dialog's slider and percentages, the percentage it
// opens with, what a write sends, and the received-light list's cell limits and lines.

#include <gtest/gtest.h>

#include "SensorSets.h"
#include "monitor/ThresholdList.h"
#include "monitor/ThresholdTuning.h"

namespace qavix {
namespace {

using chart::ThresholdPair;

SettingsData twoSensors() {
    return test::withSensors({40, 2});
}

TEST(BatchSlider, FineUpToHundredThenTenPercentSteps) {
    EXPECT_EQ(tuning::sliderToPercent(0), 0);
    EXPECT_EQ(tuning::sliderToPercent(100), 100);
    EXPECT_EQ(tuning::sliderToPercent(101), 110);
    EXPECT_EQ(tuning::sliderToPercent(190), 1000);
    EXPECT_EQ(tuning::percentToSlider(105), 100);
    EXPECT_EQ(tuning::percentToSlider(115), 101);
    EXPECT_EQ(tuning::percentToSlider(1000), 190);
    EXPECT_EQ(tuning::percentToSlider(5000), 190);
    EXPECT_EQ(tuning::percentToSlider(-3), 0);
    // Every position comes back from its own percentage.
    for (int p = 0; p <= tuning::kSliderMax; ++p) {
        ASSERT_EQ(tuning::percentToSlider(tuning::sliderToPercent(p)), p) << p;
    }
}

TEST(BatchPercent, OtherThresholdLiesHysteresisAwayRoundedToTheNearest) {
    // Zm 20, H 3: 50 % ON is 10 absolute, OFF 7 absolute = 35 %.
    EXPECT_EQ(tuning::resultingPercent(50, true, false, 20, 3), 35);
    EXPECT_EQ(tuning::resultingPercent(50, true, true, 20, 3), 50);
    // OFF reference: ON = 10 + 3 = 13 absolute = 65 %.
    EXPECT_EQ(tuning::resultingPercent(50, false, true, 20, 3), 65);
    // 1/3 rounds: Zm 30, 10 % OFF = 3, +1 = 4 absolute, 13.33 % -> 13.
    EXPECT_EQ(tuning::resultingPercent(10, false, true, 30, 1), 13);
    // Limits: nothing below 0, nothing above 1000, and a zero mean of 0 counts as 1.
    EXPECT_EQ(tuning::resultingPercent(0, true, false, 20, 3), 0);
    EXPECT_EQ(tuning::resultingPercent(1000, false, true, 1, 50), 1000);
    EXPECT_EQ(tuning::resultingPercent(1500, true, true, 20, 3), 1000);
}

TEST(BatchPercent, TrimmedMeansAndTheirFallbacks) {
    EXPECT_EQ(tuning::trimmedMean({10, 50, 20, 30, 40}), 30);
    EXPECT_EQ(tuning::trimmedMean({10, 11, 12, 13, 100}), 12);
    // (31 + 1) / 2: two values, no trimming, rounded.
    EXPECT_EQ(tuning::trimmedMean({10, 21}), 16);
    EXPECT_EQ(tuning::trimmedMean({7}), 7);
    EXPECT_EQ(tuning::trimmedMean({}), 0);
    // Two sensors: the mean of their own trimmed means.
    EXPECT_EQ(tuning::startingPercent({{50, 50, 50, 50, 90}, {30, 30}}), 40);
    EXPECT_EQ(tuning::startingPercent({}), 0);

    SettingsData set = twoSensors();
    set.channel(0).zero = {100, 120, 80, 110, 90, 1};  // the sixth is not sampled
    EXPECT_EQ(tuning::typicalZeroPoint(set, {0}), 100);
    // Sensor 2 has two beams: with sensor 1 seven samples, one max and one min out, divided
    // by 7 - 2 x 2.
    set.channel(1).zero = {60, 70};
    EXPECT_EQ(tuning::typicalZeroPoint(set, {0, 1}), (500 + 130 - 120 - 60) / 3);
    EXPECT_EQ(tuning::typicalZeroPoint(set, {1}), 65);
    SettingsData empty = twoSensors();
    EXPECT_EQ(tuning::typicalZeroPoint(empty, {0}), 1);
    set.channel(0).hys = 3;
    set.channel(1).hys = 6;
    EXPECT_EQ(tuning::meanHysteresis(set, {0, 1}), 4);
}

TEST(TuningWrite, RatioThresholdsAreSentAbsoluteWithTheControllersFloors) {
    SettingsData set = twoSensors();
    ChannelRecord& ch = set.channel(0);
    ch.beamCount = 3;
    ch.thCnf = 0;
    ch.zero = {50, 100, 0};
    ch.axisTh = {30, 30, 42};
    // OFF 10 % of 50 is 5, raised to 8; 40 % of 100 is 40; the beam without a zero point
    // keeps its 42.
    const std::vector<ThresholdPair> pairs{{20, 10}, {50, 40}, {70, 60}};
    codec::PutRequest put = tuning::beamThresholdPut(set, 0, pairs, true);
    EXPECT_EQ(put.code, 24);
    EXPECT_EQ(put.channel, 1);
    EXPECT_EQ(put.start, 0);
    EXPECT_EQ(put.count, 3);
    EXPECT_EQ(put.text, "08282A");
    EXPECT_EQ(ch.ratioOffTh[0], 10);
    EXPECT_EQ(ch.ratioOnTh[1], 50);

    // ON entries with TH_CNF set: 20 % of 50 is 10, raised to 18; absolute values go as they
    // are.
    ch.thCnf = 1;
    EXPECT_EQ(tuning::beamThresholdPut(set, 0, pairs, true).text, "12322A");
    set.channel(1).thCnf = 1;
    set.channel(1).beamCount = 2;
    put = tuning::beamThresholdPut(set, 1, {{200, 190}, {9, 1}}, false);
    EXPECT_EQ(put.start, 128);
    EXPECT_EQ(put.text, "C809");
    EXPECT_EQ(set.channel(1).absOffTh[0], 190);

    const auto channel = tuning::channelThresholdPuts(set, 1, {60, 50});
    ASSERT_EQ(channel.size(), 2u);
    EXPECT_EQ(channel[0].code, 6);
    EXPECT_EQ(channel[0].text, "3C");
    EXPECT_EQ(channel[1].code, 7);
    EXPECT_EQ(channel[1].text, "32");
}

TEST(TuningWrite, BeamsWithoutZeroPointAreNamed) {
    SettingsData set = twoSensors();
    set.channel(0).zero.fill(50);
    set.channel(0).zero[4] = 0;
    set.channel(1).zero = {0, 30};
    const auto missing = tuning::beamsWithoutZeroPoint(set, {0, 1});
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(tuning::beamList(missing), "CH1-5, CH2-1");
    EXPECT_EQ(tuning::beamsWithoutZeroPoint(set, {0}).size(), 1u);
}

TEST(ThresholdListRules, TypedThresholdsKeepBothWithinLimits) {
    const ThresholdPair now{20, 15};
    EXPECT_FALSE(thlist::typedThreshold(now, true, 10, 5).has_value());
    EXPECT_EQ(thlist::typedThreshold(now, true, 13, 5), (ThresholdPair{13, 8}));
    EXPECT_FALSE(thlist::typedThreshold(now, false, 198, 5).has_value());
    EXPECT_EQ(thlist::typedThreshold(now, false, 195, 5), (ThresholdPair{200, 195}));
    EXPECT_FALSE(thlist::typedThreshold(now, true, 201, 0).has_value());
    EXPECT_FALSE(thlist::typedThreshold(now, false, 7, 0).has_value());
    // The same pair again is no change.
    EXPECT_FALSE(thlist::typedThreshold(now, true, 20, 5).has_value());
}

TEST(ThresholdListRules, AnOffThresholdTypedReadsWithItsSpace) {
    const thlist::CellTexts typed = thlist::cellTexts(ThresholdPair{200, 195}, true);
    EXPECT_EQ(typed.on, "200");
    EXPECT_EQ(typed.off, "195 ");
    const thlist::CellTexts read = thlist::cellTexts(ThresholdPair{13, 8}, false);
    EXPECT_EQ(read.on, "13");
    EXPECT_EQ(read.off, "8");
    // The list's CSV file keeps the cells as they read.
    EXPECT_EQ(thlist::listCsvLines({{"CH1_光軸   1", "87", typed.on, typed.off}}).back(),
              "CH1_光軸   1,87,200,195 ,");
}

TEST(ThresholdListRules, RowsFollowThresholdConfiguration) {
    EXPECT_EQ(thlist::rowLabel(0, 4), "CH1_光軸   5");
    EXPECT_EQ(thlist::rowLabel(1, 9), "CH2_光軸 10");
    EXPECT_EQ(thlist::rowLabel(2, 99), "CH3_光軸100");

    SettingsData set = twoSensors();
    ChannelRecord& ch = set.channel(0);
    ch.axisTh[3] = 40;
    ch.hys = 5;
    ch.onTh = 70;
    ch.offTh = 60;
    ch.thCnf = 1;
    EXPECT_EQ(thlist::derivedPair(set, 0, 3, false), (ThresholdPair{40, 35}));
    ch.thCnf = 0;
    EXPECT_EQ(thlist::derivedPair(set, 0, 3, false), (ThresholdPair{45, 40}));
    EXPECT_EQ(thlist::derivedPair(set, 0, 3, true), (ThresholdPair{70, 60}));
}

TEST(ThresholdListRules, ReadsWritesAndCsvLines) {
    SettingsData set = twoSensors();
    const auto reads = thlist::fullReads(set, false);
    std::vector<int> codes;
    for (const PageRead& r : reads) {
        codes.push_back(r.code);
    }
    EXPECT_EQ(codes, (std::vector<int>{104, 105, 103, 97, 88, 103, 97, 88, 128}));
    EXPECT_EQ(reads[5], (PageRead{103, 2, 128, 2, 1500}));
    EXPECT_EQ(reads[6], (PageRead{97, 2, 16, 1, 1500}));
    codes.clear();
    for (const PageRead& r : thlist::fullReads(set, true)) {
        codes.push_back(r.code);
    }
    EXPECT_EQ(codes, (std::vector<int>{104, 105, 67, 68, 97, 88, 67, 68, 97, 88, 128}));
    EXPECT_EQ(thlist::levelReads(set, 1), (std::vector<PageRead>{{88, 2, 128, 2, 1500}}));
    EXPECT_EQ(thlist::levelReads(set, 3).size(), 2u);

    set.channel(1).thCnf = 0;
    const auto puts = thlist::listPuts(set, {1}, {{{13, 8}, {30, 25}}}, false);
    ASSERT_EQ(puts.size(), 1u);
    EXPECT_EQ(puts[0].text, "0819");
    const auto channel = thlist::listPuts(set, {0, 1}, {{{40, 30}}, {{50, 45}}}, true);
    ASSERT_EQ(channel.size(), 4u);
    EXPECT_EQ(channel[2].code, 6);
    EXPECT_EQ(channel[2].channel, 2);
    EXPECT_EQ(channel[3].text, "2D");

    const auto lines = thlist::listCsvLines({{"CH1_光軸   1", "87", "50", "40", "bar"}});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "光軸番号,受光レベル,ONしきい値,OFFしきい値");
    EXPECT_EQ(lines[1], "CH1_光軸   1,87,50,40,");
}

}  // namespace
}  // namespace qavix
