#include "monitor/ChartGeometry.h"

#include <algorithm>
#include <cmath>

#include "model/ControllerLimits.h"

namespace qavix::chart {

namespace {

int ticksOf(const ChartFrame& f) {
    return f.percentAxis ? kPercentTicks : kAbsoluteTicks;
}

int stepOf(const ChartFrame& f) {
    return std::clamp(f.scaleStep, kMinScaleStep, kMaxScaleStep);
}

int visibleOf(const ChartFrame& f) {
    return std::max(f.visibleBars, 1);
}

}  // namespace

int plotWidth(const ChartFrame& f) {
    return std::max(f.width - kHorizontalReserve, 0);
}

int barWidth(const ChartFrame& f) {
    return plotWidth(f) / visibleOf(f);
}

int barRemainder(const ChartFrame& f) {
    return plotWidth(f) % visibleOf(f);
}

BarSpan barSpan(const ChartFrame& f, int k) {
    const int w = barWidth(f);
    const int rem = barRemainder(f);
    return BarSpan{w * k + kLeftMargin + std::min(k, rem) + 1,
                   w * (k + 1) + kLeftMargin + std::min(k + 1, rem) + 1};
}

int barsOnScreen(const ChartFrame& f) {
    return std::clamp(f.itemCount - f.firstVisible, 0, visibleOf(f));
}

int baseline(const ChartFrame& f) {
    return f.height - kBaselineOffset;
}

double pixelsPerUnit(const ChartFrame& f) {
    return static_cast<double>(std::max(f.height - kVerticalReserve, 0)) / (kFullScale - kYMinimum);
}

double axisFactor(const ChartFrame& f) {
    return f.percentAxis ? stepOf(f) * 0.25 : 1.0;
}

int valueToY(const ChartFrame& f, double value) {
    return baseline(f) -
           static_cast<int>(std::trunc((value - kYMinimum) * pixelsPerUnit(f) / axisFactor(f)));
}

double yToValue(const ChartFrame& f, int y) {
    const double ppu = pixelsPerUnit(f);
    if (ppu <= 0.0) {
        return 0.0;
    }
    return (baseline(f) - y) / ppu * axisFactor(f);
}

std::vector<AxisTick> yTicks(const ChartFrame& f) {
    const int ticks = ticksOf(f);
    std::vector<AxisTick> out;
    for (int i = 0; i <= ticks; ++i) {
        const int rise =
            static_cast<int>(std::trunc((kFullScale - kYMinimum) * i * pixelsPerUnit(f) / ticks));
        AxisTick t;
        t.y = baseline(f) - rise;
        t.labelTop = baseline(f) + 1 - rise;
        t.text = f.percentAxis ? std::to_string(stepOf(f) * i * kPercentPerStep / ticks) + "%"
                               : std::to_string(kPercentPerStep * i);
        out.push_back(std::move(t));
    }
    return out;
}

std::vector<XLabel> xLabels(const ChartFrame& f) {
    std::vector<XLabel> out;
    if (f.itemCount <= 0) {
        return out;
    }
    const int spacing = (plotWidth(f) - kXLabelWidth) / (kXLabelCount - 1);
    for (int i = 0; i < kXLabelCount; ++i) {
        const int bar = f.firstVisible + roundHalfUp(i * (visibleOf(f) - 1) * 0.25);
        out.push_back(XLabel{kLeftMargin + 1 + i * spacing, std::min(bar, f.itemCount - 1)});
    }
    return out;
}

std::optional<int> barAt(const ChartFrame& f, int x) {
    const int shown = barsOnScreen(f);
    if (shown == 0 || x < barSpan(f, 0).left || x >= barSpan(f, shown - 1).right) {
        return std::nullopt;
    }
    // Spans differ by at most one pixel, so the estimate is off by at most one bar.
    int k = std::clamp((x - kLeftMargin - 1) / std::max(barWidth(f), 1), 0, shown - 1);
    while (k > 0 && x < barSpan(f, k).left) {
        --k;
    }
    while (k + 1 < shown && x >= barSpan(f, k).right) {
        ++k;
    }
    return f.firstVisible + k;
}

bool insideBand(const ChartFrame& f, int on, int off, int y) {
    const int yOn = valueToY(f, on);
    const int yOff = valueToY(f, off);
    // Each line is drawn on its own row and the row below it.
    const int top = std::min(yOn, yOff);
    const int bottom = std::max(yOn, yOff) + 1;
    return y >= top && y <= bottom;
}

ScrollRange scrollRange(int itemCount, int visibleBars) {
    ScrollRange r;
    r.pageStep = std::max(visibleBars, 1);
    r.maximumFirst = std::max(itemCount - r.pageStep, 0);
    r.needed = itemCount > r.pageStep;
    return r;
}

int clampFirstVisible(int itemCount, int visibleBars, int first) {
    return std::clamp(first, 0, scrollRange(itemCount, visibleBars).maximumFirst);
}

int roundHalfUp(double value) {
    return static_cast<int>(std::floor(value + 0.5));
}

}  // namespace qavix::chart
