// The scan monitor's rules without a window: intervals by line rate, the samples box, the
// beam-state answer, the chart's rows, its history of 1000 samples and its cell geometry.

#include <gtest/gtest.h>

#include <algorithm>

#include "SensorSets.h"
#include "model/SampleCount.h"
#include "model/ScanChartGeometry.h"
#include "model/ScanHistory.h"
#include "model/ScanIntervals.h"
#include "model/ScanReply.h"
#include "model/ScanRows.h"
#include "model/VisibleBeams.h"

namespace qavix::scan {
namespace {

TEST(ScanIntervals, FastestIntervalFollowsTheLineRate) {
    struct Case {
        int baud;
        int fastest;
    };
    for (const Case c : {Case{9600, 125}, Case{14400, 100}, Case{19200, 75}, Case{38400, 50},
                         Case{57600, 25}, Case{115200, 25}, Case{4800, 125}}) {
        const std::vector<int> offered = intervalsMs(c.baud);
        ASSERT_FALSE(offered.empty()) << c.baud;
        EXPECT_EQ(offered.front(), c.fastest) << c.baud;
        EXPECT_EQ(offered.back(), 200) << c.baud;
    }
    EXPECT_EQ(intervalsMs(9600), (std::vector<int>{125, 150, 175, 200}));
}

TEST(ScanIntervals, ComboTextsRoundTripAndJunkIsRefused) {
    for (int ms : intervalsMs(115200)) {
        EXPECT_EQ(parseIntervalText(intervalText(ms)), ms);
    }
    EXPECT_EQ(intervalText(125), "125ms");
    EXPECT_FALSE(parseIntervalText("ms"));
    EXPECT_FALSE(parseIntervalText("100"));
    EXPECT_FALSE(parseIntervalText("fast"));
    EXPECT_FALSE(parseIntervalText("9999999ms"));
}

TEST(SampleCount, FullWidthDigitsAndLimits) {
    struct Case {
        const char* typed;
        int value;
        const char* shown;
    };
    for (const Case c : {
             Case{"\xEF\xBC\x95\xEF\xBC\x90", 50, "50"},                // ５０
             Case{"5", 10, "10"},                                       // below the limit
             Case{"2000", 1000, "1000"},                                // above it
             Case{"\xEF\xBC\x91\xEF\xBC\x90\xEF\xBC\x90", 100, "100"},  // １００
             Case{"1\xEF\xBC\x92"
                  "3",
                  123, "123"},  // mixed widths
             Case{"", 10, "10"},
             Case{"abc", 10, "10"},
             Case{" 60", 60, "60"},
             Case{"99999999999999999999999", 1000, "1000"},  // no overflow
             Case{"1000", 1000, "1000"},
             Case{"10", 10, "10"},
         }) {
        const SampleCount s = parseSampleCount(c.typed);
        EXPECT_EQ(s.value, c.value) << c.typed;
        EXPECT_EQ(s.text, c.shown) << c.typed;
    }
    // A cut-off multi-byte sequence is kept as it is, never read past its end.
    EXPECT_EQ(halfWidthDigits("7\xEF\xBC"), "7\xEF\xBC");
    EXPECT_EQ(halfWidthDigits("\xEF\xBC\x99\xEF\xBC\x9A"), "9\xEF\xBC\x9A");  // ９ then ：
}

using test::withSensors;

TEST(VisibleBeams, ChoicesAndTotals) {
    EXPECT_EQ(visibleBeamChoices(64), (std::vector<int>{64, 60, 50, 40, 30, 20, 10}));
    EXPECT_EQ(visibleBeamChoices(40), (std::vector<int>{40, 30, 20, 10}));
    EXPECT_EQ(visibleBeamChoices(8), (std::vector<int>{8}));
    EXPECT_EQ(visibleBeamChoices(200).front(), 128);
    EXPECT_TRUE(visibleBeamChoices(0).empty());
    const SettingsData set = withSensors({100, 100, 16});
    EXPECT_EQ(beamTotal(set, 1), 100);
    EXPECT_EQ(beamTotal(set, kAllChannels), 128);  // the pages show at most 128 at once
    EXPECT_EQ(beamTotal(withSensors({40, 32}), kAllChannels), 72);
}

TEST(ScanReply, RangeByChannel) {
    EXPECT_EQ(scanRange(0, 3), (ScanRange{0, 16}));
    EXPECT_EQ(scanRange(2, 3), (ScanRange{32, 16}));
    EXPECT_EQ(scanRange(kAllChannels, 2), (ScanRange{0, 32}));
    EXPECT_EQ(scanRange(kAllChannels, 3), (ScanRange{0, 48}));
}

TEST(ScanReply, BitsLandOnTheirBeams) {
    SettingsData set = withSensors({128, 128, 128});
    std::string text(32, '0');
    text.replace(0, 2, "81");   // beams 0 and 7
    text.replace(30, 2, "a0");  // beams 125 and 127 (lower case is accepted)
    ASSERT_TRUE(decodeScanReply(text, scanRange(1, 3), set));
    const BeamTable& ch2 = set.channel(1).beamState;
    EXPECT_EQ(ch2[0], 1);
    EXPECT_EQ(ch2[7], 0x80);
    EXPECT_EQ(ch2[1], 0);
    EXPECT_EQ(ch2[125], beamBitWeight(125));
    EXPECT_EQ(ch2[127], beamBitWeight(127));
    EXPECT_EQ(ch2[126], 0);
    EXPECT_EQ(set.channel(0).beamState[0], 0);  // other sensors untouched

    // All sensors: byte 16 is the first byte of CH2, byte 47 the last of CH3.
    std::string all(96, '0');
    all.replace(32, 2, "02");
    all.replace(94, 2, "80");
    ASSERT_TRUE(decodeScanReply(all, scanRange(kAllChannels, 3), set));
    EXPECT_EQ(set.channel(1).beamState[1], 2);
    EXPECT_EQ(set.channel(1).beamState[0], 0);  // the earlier answer is replaced
    EXPECT_EQ(set.channel(2).beamState[127], 0x80);
}

TEST(ScanReply, SpoiltAnswersChangeNothing) {
    SettingsData set = withSensors({128});
    ASSERT_TRUE(decodeScanReply(std::string(32, 'F'), scanRange(0, 1), set));
    const SettingsData before = set;
    for (const std::string& bad :
         {std::string(30, '0'), std::string(34, '0'), std::string(31, '0') + "G", std::string()}) {
        EXPECT_FALSE(decodeScanReply(bad, scanRange(0, 1), set)) << bad;
        EXPECT_EQ(set.channel(0), before.channel(0)) << bad;
    }
    EXPECT_FALSE(decodeScanReply(std::string(98, '0'), ScanRange{0, 49}, set));
}

TEST(ScanRows, RowsFollowTheSensorsInOrder) {
    SettingsData set = withSensors({40, 32, 8});
    const ScanRows all(set, kAllChannels);
    ASSERT_EQ(all.count(), 80);
    EXPECT_EQ(all.beamAt(0)->sensor, 1);
    EXPECT_EQ(all.beamAt(39)->beam, 40);
    EXPECT_EQ(all.beamAt(40)->sensor, 2);
    EXPECT_EQ(all.beamAt(40)->beam, 1);
    EXPECT_EQ(all.beamAt(79)->sensor, 3);
    EXPECT_EQ(all.beamAt(79)->beam, 8);
    EXPECT_FALSE(all.beamAt(80));
    EXPECT_FALSE(all.beamAt(-1));

    const ScanRows second(set, 1);
    EXPECT_EQ(second.count(), 32);
    EXPECT_EQ(second.beamAt(31)->sensor, 2);

    set.channel(0).beamState[39] = beamBitWeight(39);
    set.channel(1).beamState[0] = 1;
    std::vector<uint8_t> cells(80, kCellEmpty);
    all.fillColumn(set, cells.data());
    EXPECT_EQ(cells[39], kCellSet);
    EXPECT_EQ(cells[40], kCellSet);
    EXPECT_EQ(cells[0], kCellClear);
    EXPECT_EQ(cells[79], kCellClear);

    // A sensor count beyond three and beam counts beyond 128 stay inside the tables.
    SettingsData odd = withSensors({200, 128, 128});
    odd.general.jointNum = 7;
    EXPECT_EQ(ScanRows(odd, kAllChannels).count(), kMaxRowsStored);
}

TEST(ScanHistory, CountersWrapAndSampleNumbersKeepCounting) {
    ScanHistory h;
    h.reset(3);
    EXPECT_FALSE(h.newestSlot());
    EXPECT_FALSE(h.sampleNumber(0));
    for (int i = 0; i < 1000; ++i) {
        uint8_t* cells = h.nextColumn();
        cells[0] = kCellSet;
        cells[1] = kCellClear;
        cells[2] = i % 2 == 0 ? kCellSet : kCellClear;
        EXPECT_EQ(h.append(), i);
    }
    EXPECT_EQ(h.counter(), 0);
    EXPECT_EQ(h.wraps(), 1);
    EXPECT_EQ(h.newestSlot(), 999);
    EXPECT_EQ(h.sampleNumber(999), 1000);
    for (int i = 0; i < 5; ++i) {
        h.nextColumn()[0] = kCellClear;
        h.append();
    }
    EXPECT_EQ(h.sampleNumber(0), 1001);
    EXPECT_EQ(h.sampleNumber(4), 1005);
    EXPECT_EQ(h.sampleNumber(5), 6);  // still the first round's sample
    EXPECT_EQ(h.cell(0, 0), kCellClear);
    EXPECT_EQ(h.cell(5, 0), kCellSet);
    EXPECT_EQ(h.cell(998, 2), kCellSet);
    EXPECT_EQ(h.cell(999, 2), kCellClear);
    EXPECT_EQ(h.cell(1000, 0), kCellEmpty);
    EXPECT_EQ(h.cell(0, 3), kCellEmpty);
    EXPECT_EQ(h.samplesTaken(), 1005);

    for (int i = 0; i < 995; ++i) {
        h.append();
    }
    EXPECT_EQ(h.wraps(), 2);
    EXPECT_EQ(h.counter(), 0);
    EXPECT_EQ(h.sampleNumber(0), 1001);
    EXPECT_EQ(h.sampleNumber(999), 2000);

    h.reset(0);  // no rows: samples still count, and no cell is ever read or written
    h.nextColumn();
    EXPECT_EQ(h.append(), 0);
    EXPECT_EQ(h.cell(0, 0), kCellEmpty);

    h.reset(2);
    EXPECT_EQ(h.wraps(), 0);
    EXPECT_EQ(h.cell(0, 0), kCellEmpty);
    EXPECT_FALSE(h.sampleNumber(0));
}

TEST(ScanChartGeometry, CellsCoverTheExtentWithoutGapsOrOverrun) {
    EXPECT_EQ(cellEnds(4, 400), (std::vector<int>{100, 200, 300, 400}));
    EXPECT_EQ(cellEnds(3, 10), (std::vector<int>{3, 7, 10}));  // 3.33 and 6.67 rounded
    EXPECT_EQ(cellEnds(6, 10), (std::vector<int>{2, 3, 5, 7, 8, 10}));
    EXPECT_TRUE(cellEnds(0, 100).empty());
    for (const auto& [count, extent] :
         {std::pair{1000, 700}, std::pair{60, 613}, std::pair{128, 97}, std::pair{7, 0}}) {
        const std::vector<int> ends = cellEnds(count, extent);
        ASSERT_EQ(static_cast<int>(ends.size()), count);
        EXPECT_EQ(ends.back(), extent);
        for (size_t k = 1; k < ends.size(); ++k) {
            EXPECT_LE(ends[k - 1], ends[k]) << count << " over " << extent;
        }
    }
    const std::vector<int> ends = cellEnds(3, 10);
    EXPECT_EQ(cellAt(ends, 0), 0);
    EXPECT_EQ(cellAt(ends, 2), 0);
    EXPECT_EQ(cellAt(ends, 3), 1);
    EXPECT_EQ(cellAt(ends, 9), 2);
    EXPECT_EQ(cellAt(ends, 10), -1);
    EXPECT_EQ(cellAt(ends, -1), -1);
    // Cells narrower than a pixel: a pixel belongs to the first cell that reaches past it.
    const std::vector<int> dense = cellEnds(1000, 500);
    EXPECT_EQ(cellAt(dense, 0), 0);
    EXPECT_EQ(cellAt(dense, 499), 998);
    EXPECT_EQ(cellStart(ends, 0), 0);
    EXPECT_EQ(cellStart(ends, 2), 7);

    EXPECT_EQ(screenCount(60), 17);
    EXPECT_EQ(screenCount(1000), 1);
    EXPECT_EQ(screenCount(10), 100);
    EXPECT_EQ(screenCount(300), 4);
}

std::vector<int> beamNumbers(std::initializer_list<std::pair<int, int>> sensors) {
    std::vector<int> beams;
    for (const auto& [first, last] : sensors) {
        for (int b = first; b <= last; ++b) {
            beams.push_back(b);
        }
    }
    return beams;
}

TEST(ScanChartGeometry, BeamLabelsThinOutWhereRowsAreLow) {
    // Rows taller than a label: every beam.
    EXPECT_EQ(labelledRows(beamNumbers({{1, 4}}), cellEnds(4, 80), 14),
              (std::vector<int>{0, 1, 2, 3}));
    // 40 rows over 300 pixels (7 or 8 each) with 14-pixel labels: every 2nd beam.
    const std::vector<int> forty = labelledRows(beamNumbers({{1, 40}}), cellEnds(40, 300), 14);
    // Beam 3's label would overlap beam 1's, which is drawn lower to stay inside the strip.
    ASSERT_EQ(forty.size(), 19u);
    EXPECT_EQ(forty[0], 0);
    EXPECT_EQ(forty[1], 4);
    EXPECT_EQ(forty[2], 6);
    // CH1 of 40 beams and CH2 of 32 over 250 pixels: every 5th beam of each sensor, and
    // CH2's first beam only where it keeps clear of CH1's last label.
    const std::vector<int> beams = beamNumbers({{1, 40}, {1, 32}});
    const std::vector<int> ends = cellEnds(72, 250);
    const std::vector<int> rows = labelledRows(beams, ends, 14);
    ASSERT_FALSE(rows.empty());
    int previous = -100;
    for (int r : rows) {
        EXPECT_EQ((beams[static_cast<size_t>(r)] - 1) % 5, 0) << r;
        const int centre = (cellStart(ends, r) + ends[static_cast<size_t>(r)]) / 2;
        EXPECT_GE(centre - previous, 14) << r;
        previous = centre;
    }
    EXPECT_NE(std::find(rows.begin(), rows.end(), 40), rows.end());  // CH2-1
    EXPECT_TRUE(labelledRows({}, {}, 14).empty());
    // Rows of 7 pixels: the first label is drawn lower than its row, inside the strip, and
    // the next one keeps clear of where it is drawn, not of where its row is.
    const std::vector<int> low = labelledRows(beamNumbers({{1, 72}}), cellEnds(72, 504), 14);
    ASSERT_GE(low.size(), 2u);
    EXPECT_EQ(low[0], 0);
    int drawnAt = 7;  // the first label's centre, pushed down to half its height
    for (size_t i = 1; i < low.size(); ++i) {
        const int r = low[i];
        const int centre = (cellStart(cellEnds(72, 504), r) + cellEnds(72, 504)[size_t(r)]) / 2;
        EXPECT_GE(centre - drawnAt, 14) << r;
        drawnAt = centre;
    }
}

}  // namespace
}  // namespace qavix::scan

namespace qavix::scan {
namespace {

void takeSamples(ScanHistory& h, int n) {
    for (int i = 0; i < n; ++i) {
        h.nextColumn()[0] = kCellSet;
        h.append();
    }
}

TEST(ScanHistoryColumns, SweepDrawsOverTheOldestColumns) {
    ScanHistory h;
    h.reset(1);
    EXPECT_EQ(sweepColumns(h, 4), (std::vector<int>{-1, -1, -1, -1}));
    takeSamples(h, 6);  // slots 0..5 over four columns: 4 and 5 overwrote 0 and 1
    EXPECT_EQ(sweepColumns(h, 4), (std::vector<int>{4, 5, 2, 3}));
    // 60 columns do not divide 1000: after the wrap, slot 0 lands in column 0 while columns
    // 40..59 still hold the screen before the last, partial one.
    takeSamples(h, 995);  // 1001 samples: newest is slot 0 of the second round
    const std::vector<int> sweep = sweepColumns(h, 60);
    EXPECT_EQ(sweep[0], 0);
    EXPECT_EQ(sweep[1], 961);
    EXPECT_EQ(sweep[39], 999);
    EXPECT_EQ(sweep[40], 940);
    EXPECT_EQ(sweep[59], 959);
}

TEST(ScanHistoryColumns, AfterAStopTheNewestScreenIsShownAndScrolledInSlotOrder) {
    ScanHistory h;
    h.reset(1);
    takeSamples(h, 130);
    EXPECT_EQ(firstSampleAfterStop(h, 60), 120);
    const std::vector<int> shown = scrolledColumns(h, 60, 120);
    EXPECT_EQ(shown[9], 129);
    EXPECT_EQ(shown[10], -1);  // not sampled yet
    takeSamples(h, 870);       // slot 999 is the newest: its screen starts at 960 but only
    EXPECT_EQ(firstSampleAfterStop(h, 60), 940);  // 40 slots follow, so the chart stops at 940
    EXPECT_EQ(firstSampleAfterStop(h, 1000), 0);
    EXPECT_EQ(scrolledColumns(h, 60, 940).back(), 999);
}

}  // namespace
}  // namespace qavix::scan
