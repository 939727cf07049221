#include "monitor/ChartGeometry.h"

#include <gtest/gtest.h>

namespace qavix::chart {
namespace {

// An 800 × 400 client: plot 46..780 (734 pixels), baseline 370, 1.79 pixels per unit.
ChartFrame frame(int items, int visible, int first = 0, bool percent = false, int step = 2) {
    ChartFrame f;
    f.width = 800;
    f.height = 400;
    f.itemCount = items;
    f.visibleBars = visible;
    f.firstVisible = first;
    f.percentAxis = percent;
    f.scaleStep = step;
    return f;
}

TEST(ChartGeometry, RemainderPixelsGoToTheFirstBarsAndTheLastEndsAtThePlotEnd) {
    const ChartFrame f = frame(128, 10);
    EXPECT_EQ(barWidth(f), 73);
    EXPECT_EQ(barRemainder(f), 4);
    const int expectedLeft[] = {46, 120, 194, 268, 342, 415, 488, 561, 634, 707};
    for (int k = 0; k < 10; ++k) {
        const BarSpan s = barSpan(f, k);
        EXPECT_EQ(s.left, expectedLeft[k]) << k;
        EXPECT_EQ(s.right - s.left, k < 4 ? 74 : 73) << k;
        if (k > 0) {
            EXPECT_EQ(barSpan(f, k - 1).right, s.left) << "gap or overlap before bar " << k;
        }
    }

    // Every visible-bar count of a full sensor fills the plot exactly.
    for (int visible = 1; visible <= 128; ++visible) {
        const ChartFrame g = frame(128, visible);
        EXPECT_EQ(barSpan(g, visible - 1).right, 780) << visible;
    }
}

TEST(ChartGeometry, ValuesMapToPixelsOnBothAxes) {
    const ChartFrame abs = frame(10, 10);
    EXPECT_EQ(baseline(abs), 370);
    EXPECT_EQ(valueToY(abs, 0), 370);
    EXPECT_EQ(valueToY(abs, 200), 12);
    EXPECT_EQ(valueToY(abs, 100), 191);  // 179 pixels
    EXPECT_EQ(valueToY(abs, 80), 227);   // 143.2 truncated

    // Step 1 (50 %): a 50 % level fills the plot; step 20 (1000 %): 100 % fills a tenth.
    EXPECT_EQ(valueToY(frame(10, 10, 0, true, 1), 50), 12);
    EXPECT_EQ(valueToY(frame(10, 10, 0, true, 20), 100), 370 - 35);
    EXPECT_EQ(valueToY(frame(10, 10, 0, true, 20), 1000), 12);
    // Pixel back to value undoes the mapping up to the truncation (less than one pixel low).
    for (const ChartFrame& f : {abs, frame(10, 10, 0, true, 1), frame(10, 10, 0, true, 20)}) {
        for (int v : {0, 18, 50, 99, 150}) {
            const double back = yToValue(f, valueToY(f, v));
            EXPECT_LE(back, v + 1e-9);
            EXPECT_GT(back, v - axisFactor(f) / pixelsPerUnit(f) - 1e-9);
        }
    }
}

TEST(ChartGeometry, AxisLabelsFollowTheAxisAndScaleStep) {
    auto texts = [](const ChartFrame& f) {
        std::vector<std::string> out;
        for (const AxisTick& t : yTicks(f)) {
            out.push_back(t.text);
        }
        return out;
    };
    EXPECT_EQ(texts(frame(10, 10)), (std::vector<std::string>{"0", "50", "100", "150", "200"}));
    EXPECT_EQ(texts(frame(10, 10, 0, true, 2)),
              (std::vector<std::string>{"0%", "20%", "40%", "60%", "80%", "100%"}));
    EXPECT_EQ(texts(frame(10, 10, 0, true, 1)),
              (std::vector<std::string>{"0%", "10%", "20%", "30%", "40%", "50%"}));
    EXPECT_EQ(texts(frame(10, 10, 0, true, 20)),
              (std::vector<std::string>{"0%", "200%", "400%", "600%", "800%", "1000%"}));
    // The grid line of a label's value is where that value is drawn.
    const auto ticks = yTicks(frame(10, 10));
    EXPECT_EQ(ticks.front().y, 370);
    EXPECT_EQ(ticks.back().y, valueToY(frame(10, 10), 200));
    EXPECT_EQ(ticks[2].labelTop, ticks[2].y + 1);
}

TEST(ChartGeometry, XLabelsNameFiveEvenlySpreadBars) {
    std::vector<int> bars;
    std::vector<int> lefts;
    for (const XLabel& l : xLabels(frame(128, 10, 40))) {
        bars.push_back(l.bar);
        lefts.push_back(l.left);
    }
    // 9 × 0.25 = 2.25, 4.5 rounds up to 5, 6.75 to 7.
    EXPECT_EQ(bars, (std::vector<int>{40, 42, 45, 47, 49}));
    EXPECT_EQ(lefts, (std::vector<int>{46, 217, 388, 559, 730}));
    EXPECT_EQ(lefts.back() + kXLabelWidth, 780);
    // A single bar names itself five times rather than bars that do not exist.
    for (const XLabel& l : xLabels(frame(1, 1))) {
        EXPECT_EQ(l.bar, 0);
    }
    EXPECT_TRUE(xLabels(frame(0, 1)).empty());
}

TEST(ChartGeometry, ColumnsAreFoundAtTheirEdges) {
    const ChartFrame f = frame(128, 10, 30);
    EXPECT_FALSE(barAt(f, 45));
    EXPECT_FALSE(barAt(f, 780));
    // Every pixel of every span maps back to its own bar.
    for (int k = 0; k < 10; ++k) {
        const BarSpan s = barSpan(f, k);
        for (int x = s.left; x < s.right; ++x) {
            ASSERT_EQ(barAt(f, x), 30 + k) << x;
        }
    }
    // Past the last item there is no bar, even inside the plot.
    const ChartFrame few = frame(3, 10);
    EXPECT_EQ(barAt(few, barSpan(few, 2).left), 2);
    EXPECT_FALSE(barAt(few, barSpan(few, 3).left));
}

TEST(ChartGeometry, PressOnTheLineIsInsideTheBandOnePixelOffIsNot) {
    const ChartFrame f = frame(10, 10);
    // ON 100 at row 191, OFF 80 at row 227; each line is two rows high.
    EXPECT_TRUE(insideBand(f, 100, 80, 191));
    EXPECT_FALSE(insideBand(f, 100, 80, 190));
    EXPECT_TRUE(insideBand(f, 100, 80, 210));
    EXPECT_TRUE(insideBand(f, 100, 80, 228));
    EXPECT_FALSE(insideBand(f, 100, 80, 229));
    // Thresholds given the wrong way round still make a band.
    EXPECT_TRUE(insideBand(f, 80, 100, 200));
}

TEST(ChartGeometry, ScrollRangeKeepsTheLastScreenFull) {
    const ScrollRange r = scrollRange(128, 10);
    EXPECT_TRUE(r.needed);
    EXPECT_EQ(r.pageStep, 10);
    EXPECT_EQ(r.maximumFirst, 118);
    EXPECT_EQ(clampFirstVisible(128, 10, 125), 118);
    EXPECT_EQ(clampFirstVisible(128, 10, -3), 0);
    EXPECT_EQ(clampFirstVisible(128, 10, 57), 57);
    EXPECT_FALSE(scrollRange(40, 40).needed);
    EXPECT_EQ(clampFirstVisible(40, 40, 5), 0);
    // Fewer visible bars make more room to scroll; zero is treated as one.
    EXPECT_EQ(scrollRange(128, 0).maximumFirst, 127);
}

TEST(ChartGeometry, TinyClientsDoNotDivideByZeroOrGoNegative) {
    ChartFrame f = frame(128, 128);
    f.width = 30;
    f.height = 20;
    EXPECT_EQ(barWidth(f), 0);
    EXPECT_EQ(pixelsPerUnit(f), 0.0);
    EXPECT_EQ(yToValue(f, 5), 0.0);
    EXPECT_FALSE(barAt(f, 46));
}

}  // namespace
}  // namespace qavix::chart
