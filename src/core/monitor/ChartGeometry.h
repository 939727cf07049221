#pragma once
// Where the level bar chart puts things and what a pixel means: bar spans with their
// remainder pixels, value <-> pixel on the absolute and the percent axis, axis labels, grid,
// the x labels, the hit tests of the mouse gestures and the scroll range. Kept apart from
// the widget so every pixel rule is tested without a display.

#include <optional>
#include <string>
#include <vector>

namespace qavix::chart {

constexpr int kLeftMargin = 45;
// The plot ends this far from the right edge; the grid lines reach one pixel further.
constexpr int kRightMargin = 20;
// What the bar width divides: the client width less the margins and one pixel of gap.
constexpr int kHorizontalReserve = kLeftMargin + kRightMargin + 1;
// The baseline sits this far above the client bottom, leaving room for the x labels.
constexpr int kBaselineOffset = 30;
// The vertical scale keeps this many pixels of the client height for labels.
constexpr int kVerticalReserve = 42;
constexpr int kTextHeight = 14;
constexpr int kXLabelWidth = 50;
constexpr int kXLabelCount = 5;
// The absolute axis runs from here to the full scale (kFullScale).
constexpr double kYMinimum = 0.0;
constexpr int kAbsoluteTicks = 4;
constexpr int kPercentTicks = 5;
constexpr int kMinScaleStep = 1;
constexpr int kMaxScaleStep = 20;
// Percent full scale is this many percent per scale step.
constexpr int kPercentPerStep = 50;
constexpr int kMinBarExtent = 2;
// The tooltip shows only this far inside the top and bottom edges.
constexpr int kTooltipEdge = 10;

// What the layout depends on. `visibleBars` is at least 1 once items exist.
struct ChartFrame {
    int width = 0;  // client area without the scroll bar
    int height = 0;
    int itemCount = 0;
    int visibleBars = 1;
    int firstVisible = 0;
    bool percentAxis = false;
    int scaleStep = 2;
};

struct BarSpan {
    int left = 0;
    int right = 0;  // exclusive
};

int plotWidth(const ChartFrame& f);
int barWidth(const ChartFrame& f);
// The first `barRemainder` bars on screen are one pixel wider, so the bars fill the plot.
int barRemainder(const ChartFrame& f);
// Span of the bar `screenIndex` places right of the first visible bar.
BarSpan barSpan(const ChartFrame& f, int screenIndex);
// Number of bars drawn: the visible bars, fewer at the end of the items.
int barsOnScreen(const ChartFrame& f);

int baseline(const ChartFrame& f);
double pixelsPerUnit(const ChartFrame& f);
// 1 on the absolute axis; on the percent axis a value is divided by step / 4, so the axis
// top reads 50 × step %.
double axisFactor(const ChartFrame& f);
int valueToY(const ChartFrame& f, double value);
double yToValue(const ChartFrame& f, int y);

struct AxisTick {
    int y = 0;         // the grid line
    int labelTop = 0;  // top of the 14-pixel label box right-aligned before the margin
    std::string text;
};
std::vector<AxisTick> yTicks(const ChartFrame& f);

struct XLabel {
    int left = 0;  // left of the 50-pixel box ending at the client bottom
    int bar = 0;   // item index it names
};
std::vector<XLabel> xLabels(const ChartFrame& f);

// The item whose column (client top to bottom) contains x, if any.
std::optional<int> barAt(const ChartFrame& f, int x);
// The band between a bar's ON line and OFF line, both 2-pixel lines included: a press on
// the top row of the ON line is inside, one pixel above it is not.
bool insideBand(const ChartFrame& f, int on, int off, int y);

// The scroll bar: range 0..itemCount - 1, page = visible bars.
struct ScrollRange {
    int maximumFirst = 0;  // the last first-visible bar that still fills the screen
    int pageStep = 1;
    bool needed = false;
};
ScrollRange scrollRange(int itemCount, int visibleBars);
int clampFirstVisible(int itemCount, int visibleBars, int first);

// Rounds half up the way the x labels pick their bars.
int roundHalfUp(double value);

}  // namespace qavix::chart
