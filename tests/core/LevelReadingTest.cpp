#include "monitor/LevelReading.h"

#include <gtest/gtest.h>

#include "SensorSets.h"
#include "TempDir.h"
#include "files/FileIo.h"
#include "files/TextFile.h"
#include "monitor/BarRules.h"
#include "monitor/LevelCsv.h"

namespace qavix::levels {
namespace {

using chart::BarState;
using chart::ThresholdPair;

using test::withSensors;

TEST(BarRules, StateAtAndAroundTheThresholds) {
    EXPECT_EQ(chart::barState(51, 50, 40, false), BarState::Incident);
    EXPECT_EQ(chart::barState(50, 50, 40, false), BarState::Unstable);  // at ON: not incident
    EXPECT_EQ(chart::barState(40, 50, 40, false), BarState::Unstable);
    EXPECT_EQ(chart::barState(39, 50, 40, false), BarState::Blocked);
    EXPECT_EQ(chart::barState(199, 50, 40, true), BarState::Blanked);
    EXPECT_EQ(chart::displayedLevel(201, false), 200);
    EXPECT_EQ(chart::displayedLevel(200, false), 200);
}

TEST(BarRules, TooltipShowsUnitsOnlyOnThePercentAxis) {
    EXPECT_EQ(chart::tooltipText(1, "5", 87, 50, 40, true),
              "光軸:CH1-5\n 受光レベル :  87%\n ONしきい値 :  50%\n OFFしきい値:  40%\n ");
    EXPECT_EQ(chart::tooltipText(3, "128", 200, 18, 8, false),
              "光軸:CH3-128\n 受光レベル : 200\n ONしきい値 :  18\n OFFしきい値:   8\n ");
}

TEST(BarRules, AbsoluteDragStopsAtItsLimitsAndKeepsTheDifference) {
    EXPECT_EQ(chart::dragAbsolute({60, 50}, 120, false), (ThresholdPair{120, 110}));
    EXPECT_EQ(chart::dragAbsolute({60, 50}, 250, false), (ThresholdPair{200, 190}));
    EXPECT_EQ(chart::dragAbsolute({60, 50}, 5, false), (ThresholdPair{18, 8}));
    EXPECT_EQ(chart::dragAbsolute({60, 50}, 150, true), (ThresholdPair{100, 90}));
    EXPECT_EQ(chart::dragAbsolute({60, 50}, 18, true), (ThresholdPair{18, 8}));
    // A wide pair stops where OFF reaches 0 instead of going negative.
    EXPECT_EQ(chart::dragAbsolute({100, 70}, 5, false), (ThresholdPair{30, 0}));
}

TEST(BarRules, RatioRuleKeepsAbsoluteThresholdsInRange) {
    // Z 20, H 3, 50 % ON: 1000 is raised to 1100 (3 × 100 + 800).
    EXPECT_EQ(chart::ratioRule({0, 0}, 20, 3, 50, true), (ThresholdPair{55, 40}));
    // Z 150, 200 % ON: 30000 is lowered to 20000.
    EXPECT_EQ(chart::ratioRule({0, 0}, 150, 3, 200, true), (ThresholdPair{133, 131}));
    EXPECT_EQ(chart::ratioRule({0, 0}, 100, 5, 60, true), (ThresholdPair{60, 55}));
    // OFF reference: the floor is 8 absolute on the percent axis, 8 + H on the absolute one.
    EXPECT_EQ(chart::ratioRule({0, 0}, 50, 3, 10, false), (ThresholdPair{22, 16}));
    EXPECT_EQ(chart::ratioRule({0, 0}, 50, 3, 10, false, true), (ThresholdPair{28, 22}));
    EXPECT_EQ(chart::ratioRule({0, 0}, 100, 3, 199, false), (ThresholdPair{200, 197}));
    // Without a zero point there is nothing to take a percentage of.
    EXPECT_EQ(chart::ratioRule({70, 60}, 0, 3, 50, true), (ThresholdPair{70, 60}));
}

TEST(LevelReading, ChannelChoicesAndBeamTotals) {
    const SettingsData two = withSensors({64, 100});
    EXPECT_EQ(channelOfComboIndex(0, two), 0);
    EXPECT_EQ(channelOfComboIndex(1, two), 1);
    EXPECT_EQ(channelOfComboIndex(2, two), kAllChannels);  // CH3 is not connected
    EXPECT_EQ(channelOfComboIndex(3, two), kAllChannels);
    EXPECT_EQ(channelOfComboIndex(3, withSensors({40})), kAllChannels);
    EXPECT_EQ(shownSensors(withSensors({40}), kAllChannels), std::vector<int>{0});
    EXPECT_EQ(beamTotal(two, kAllChannels), 128);  // 164 capped
    EXPECT_EQ(beamTotal(two, 1), 100);
    EXPECT_EQ(beamTotal(withSensors({}), kAllChannels), 0);
}

TEST(LevelReading, BarsRunThroughTheSensorsInOrder) {
    const SettingsData two = withSensors({64, 100});
    BeamRef ref;
    ASSERT_TRUE(beamOfBar(two, kAllChannels, 63, ref));
    EXPECT_EQ(ref.sensor, 0);
    EXPECT_EQ(ref.beam, 63);
    ASSERT_TRUE(beamOfBar(two, kAllChannels, 64, ref));
    EXPECT_EQ(ref.sensor, 1);
    EXPECT_EQ(ref.beam, 0);
    ASSERT_TRUE(beamOfBar(two, kAllChannels, 127, ref));
    EXPECT_EQ(ref.beam, 63);
    EXPECT_FALSE(beamOfBar(two, kAllChannels, 128, ref));
    ASSERT_TRUE(beamOfBar(two, 1, 99, ref));
    EXPECT_EQ(ref.sensor, 1);
    EXPECT_FALSE(beamOfBar(two, 1, 100, ref));
    EXPECT_EQ(barViews(two, GraphChoice{kAllChannels, false}, true).size(), 128u);
}

std::vector<int> codes(const std::vector<PageRead>& reads) {
    std::vector<int> out;
    for (const PageRead& r : reads) {
        out.push_back(r.code);
    }
    return out;
}

TEST(LevelReading, OperationsSendTheirRequestsWithSensorAreas) {
    const SettingsData two = withSensors({40, 100});
    const auto full = operationReads(Operation::FullLoad, two, GraphChoice{1, false});
    EXPECT_EQ(codes(full), (std::vector<int>{90, 93, 91, 94, 103, 102, 97, 90, 93, 91, 94, 103, 102,
                                             97, 128, 104, 105, 89}));
    EXPECT_EQ(full[0], (PageRead{90, 1, 0, 40, 1500}));
    EXPECT_EQ(full[6], (PageRead{97, 1, 0, 5, 1500}));
    EXPECT_EQ(full[7], (PageRead{90, 2, 128, 100, 1500}));
    EXPECT_EQ(full[13], (PageRead{97, 2, 16, 13, 1500}));
    EXPECT_EQ(full[14], (PageRead{128, 1, 0, 3, 1500}));  // FIX_CNF1..3
    EXPECT_EQ(full[15], (PageRead{104, 1, 0, 3, 1500}));
    EXPECT_EQ(full.back(), (PageRead{89, 2, 128, 100, 1500}));  // only the shown sensor

    const auto single = operationReads(Operation::FullLoad, two, GraphChoice{0, true});
    const auto singleCodes = codes(single);
    EXPECT_EQ(std::vector<int>(singleCodes.end() - 4, singleCodes.end()),
              (std::vector<int>{67, 68, 67, 68}));
    EXPECT_EQ(single.back(), (PageRead{68, 2, 1, 1, 1500}));

    EXPECT_EQ(codes(operationReads(Operation::RefreshAbsolute, two, GraphChoice{1, true})),
              (std::vector<int>{97, 97, 95, 90, 93}));
    EXPECT_EQ(operationReads(Operation::RefreshAbsolute, two, GraphChoice{1, true})[2],
              (PageRead{95, 2, 1, 1, 1500}));
    EXPECT_EQ(codes(operationReads(Operation::RefreshRatio, two, GraphChoice{kAllChannels})),
              (std::vector<int>{97, 97, 128, 91, 94, 91, 94}));
    EXPECT_EQ(codes(operationReads(Operation::LevelsRatio, two, GraphChoice{kAllChannels})),
              (std::vector<int>{89, 89}));
    EXPECT_EQ(codes(operationReads(Operation::AbsoluteDisplay, two, GraphChoice{0})),
              (std::vector<int>{88, 90, 93}));
    EXPECT_EQ(codes(operationReads(Operation::RatioDisplay, two, GraphChoice{kAllChannels})),
              (std::vector<int>{89, 89, 91, 94, 91, 94}));
}

TEST(LevelReading, BarsTakeTheDisplaysThresholdsAndBlanking) {
    SettingsData set = withSensors({4, 4});
    ChannelRecord& ch = set.channel(0);
    ch.absLevel = {255, 50, 30, 120};
    ch.absOnTh = {60, 50, 60, 60};
    ch.absOffTh = {40, 40, 40, 40};
    ch.ratioLevel = {300, 10, 10, 10};
    ch.ratioOnTh = {50, 50, 50, 50};
    ch.ratioOffTh = {20, 20, 20, 20};
    ch.fixAxis[3] = beamBitWeight(3);
    ch.onTh = 100;
    ch.offTh = 90;

    auto abs = barViews(set, GraphChoice{0, false}, false);
    ASSERT_EQ(abs.size(), 4u);
    EXPECT_EQ(abs[0].value, 200);
    EXPECT_EQ(abs[0].state, BarState::Incident);
    EXPECT_EQ(abs[1].state, BarState::Unstable);
    EXPECT_EQ(abs[2].state, BarState::Blocked);
    EXPECT_EQ(abs[3].state, BarState::Incident);  // blanked, but blanking is not in force

    set.general.fixCnf[0] = 1;
    abs = barViews(set, GraphChoice{0, false}, false);
    EXPECT_TRUE(abs[3].blanked);
    EXPECT_EQ(abs[3].state, BarState::Blanked);

    const auto ratio = barViews(set, GraphChoice{0, false}, true);
    EXPECT_EQ(ratio[0].value, 300);
    EXPECT_EQ(ratio[0].thresholds, (ThresholdPair{50, 20}));
    EXPECT_EQ(ratio[1].state, BarState::Blocked);

    // A single-channel page judges against ON_TH / OFF_TH and its floating-blanking switch.
    auto single = barViews(set, GraphChoice{0, true}, false);
    EXPECT_EQ(single[0].thresholds, (ThresholdPair{100, 90}));
    EXPECT_EQ(single[3].state, BarState::Incident);
    set.channel(0).functionBit1 = 1;
    single = barViews(set, GraphChoice{0, true}, false);
    EXPECT_EQ(single[3].state, BarState::Blanked);
}

TEST(LevelCsv, OneLinePerBeamAfterTheHeaderInAbsoluteValues) {
    SettingsData set = withSensors({40, 3});
    ChannelRecord& ch = set.channel(0);
    for (int b = 0; b < 40; ++b) {
        ch.absLevel[static_cast<size_t>(b)] = 87;
        ch.absOnTh[static_cast<size_t>(b)] = 50;
        ch.absOffTh[static_cast<size_t>(b)] = 40;
    }
    ch.absLevel[39] = 255;
    ch.ratioLevel.fill(999);  // never written: the file is absolute whatever is shown

    const auto lines = levelCsvLines(set, {0});
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_EQ(lines[0], "光軸番号,受光レベル,ONしきい値,OFFしきい値");
    EXPECT_EQ(lines[1], "1,87,50,40,");
    EXPECT_EQ(lines[40], "40,200,50,40,");

    const auto all = levelCsvLines(set, {0, 1});
    ASSERT_EQ(all.size(), 41u + 4u);
    EXPECT_EQ(all[41], lines[0]);
    EXPECT_EQ(all[42], "1,0,0,0,");
    EXPECT_EQ(levelCsvLines(set, {}), std::vector<std::string>{lines[0]});

    // On disk: Shift-JIS, CR LF after every line, the last one ending in a comma.
    test::TempDir dir;
    const std::string path = dir.file("Th.csv");
    ASSERT_TRUE(textfile::writeLines(path, lines).ok);
    const std::string bytes = fileio::readFile(path).bytes;
    EXPECT_EQ(bytes.substr(0, 2), "\x8c\xf5");  // 光
    const std::string tail = "\r\n40,200,50,40,\r\n";
    ASSERT_GT(bytes.size(), tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

TEST(LevelCsv, DefaultNameAndLogRow) {
    std::tm t{};
    t.tm_year = 102;
    t.tm_mon = 11;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 8;
    t.tm_sec = 9;
    EXPECT_EQ(defaultCsvName(t), "Th021205.csv");
    EXPECT_EQ(levelLogRow(t, 2, {87, 200, 0}), "2002-12-05 07:08:09,CH2,87,200,0");
    EXPECT_EQ(levelLogRow(t, 1, {}), "2002-12-05 07:08:09,CH1");
}

}  // namespace
}  // namespace qavix::levels
