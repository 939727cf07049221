// The level chart's cost per frame. A live page repaints at most 25 times a second, so a
// frame is 40 ms; each benchmark reports counter "frame_share", its time as a share of
// that frame (target: at most 0.10).
//
// ChartRepaint/<bars>: a full paint of the chart into an offscreen image of 1920 × 1000
//   with every bar on screen; 1 is background, grid and labels alone, 128 the most a page
//   shows, 384 three full sensors side by side.
// ContinuousCycle: one reading of continuous update for three sensors of 128 beams after
//   the line: decoding the three percent-level replies, judging every bar, filling the
//   chart (128 bars) and repainting it.
// WindowRepaint: what the shown chart window costs per repaint, from its paint event into
//   the window's back buffer (1920 × 1000, 128 bars on screen), as a live update repaints
//   it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>

#include "model/Codec.h"
#include "monitor/CChartWnd.h"
#include "monitor/ChartPainter.h"
#include "monitor/DisplayColours.h"
#include "monitor/LevelReading.h"
#include "state/AppState.h"

namespace {

using namespace qavix;

constexpr double kFrameSeconds = 0.040;
constexpr int kWidth = 1920;
constexpr int kHeight = 1000;

void reportShare(benchmark::State& state) {
    state.counters["frame_share"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFrameSeconds,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

ChartPaint paintOf(int bars) {
    ChartPaint paint;
    paint.frame.width = kWidth;
    paint.frame.height = kHeight;
    paint.frame.itemCount = bars;
    paint.frame.visibleBars = bars;
    paint.frame.percentAxis = true;
    for (int i = 0; i < bars; ++i) {
        ChartBar b;
        b.value = 40 + (i * 37) % 120;
        b.colour = i % 5 == 0 ? QColor(255, 50, 50) : QColor(30, 200, 30);
        b.thresholds = {60, 45};
        b.blankBackground = i % 17 == 0;
        b.marked = i % 23 == 0;
        paint.bars.push_back(b);
    }
    for (int i = 0; i < chart::kXLabelCount; ++i) {
        paint.xLabelTexts.push_back(QString("CH%1-%2").arg(1 + i % 3).arg(i * 32 + 1));
    }
    return paint;
}

void ChartRepaint(benchmark::State& state) {
    const ChartPaint paint = paintOf(static_cast<int>(state.range(0)));
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        paintChart(image, paint);
        benchmark::DoNotOptimize(image.constBits());
    }
    reportShare(state);
}
BENCHMARK(ChartRepaint)->Arg(1)->Arg(128)->Arg(384)->Unit(benchmark::kMillisecond);

// A percent-level reply of `beams` beams: four hexadecimal digits per beam.
std::string levelReply(int beams, int seed) {
    std::string text;
    char digits[8];
    for (int b = 0; b < beams; ++b) {
        std::snprintf(digits, sizeof digits, "%04X", 80 + (b * 7 + seed) % 60);
        text += digits;
    }
    return text;
}

void ContinuousCycle(benchmark::State& state) {
    DeviceModel model;
    AppState app(model);
    SettingsData& set = model.working();
    set.general.jointNum = 3;
    for (int s = 0; s < kChannelCount; ++s) {
        set.channel(s).beamCount = kMaxBeams;
        set.channel(s).ratioOnTh.fill(60);
        set.channel(s).ratioOffTh.fill(45);
    }
    CChartWnd chart(app);
    chart.resize(kWidth, kHeight);
    chart.buildItems(levels::kAllChannels, {kMaxBeams, kMaxBeams, kMaxBeams}, levels::kMaxBars);
    chart.setVisibleBars(levels::kMaxBars);
    chart.setPercentAxis(true);
    const levels::GraphChoice choice{levels::kAllChannels, false};
    int seed = 0;
    for (auto _ : state) {
        ++seed;
        for (int s = 0; s < kChannelCount; ++s) {
            if (codec::decodeReply(89, s + 1, kMaxBeams * s, levelReply(kMaxBeams, seed + s),
                                   set) != codec::DecodeResult::Ok) {
                state.SkipWithError("reply not decoded");
                return;
            }
        }
        const auto bars = levels::barViews(set, choice, true);
        for (size_t i = 0; i < bars.size(); ++i) {
            chart.setValue(static_cast<int>(i), bars[i].value);
            chart.setColour(static_cast<int>(i), barStateColour(app.user, bars[i].state));
        }
        const QImage image = chart.renderImage(1.0);
        benchmark::DoNotOptimize(image.constBits());
    }
    reportShare(state);
}
BENCHMARK(ContinuousCycle)->Unit(benchmark::kMillisecond);

void WindowRepaint(benchmark::State& state) {
    DeviceModel model;
    AppState app(model);
    const int bars = levels::kMaxBars;
    CChartWnd chart(app);
    chart.resize(kWidth, kHeight);
    chart.buildItems(levels::kAllChannels, {kMaxBeams, kMaxBeams, kMaxBeams}, bars);
    chart.setVisibleBars(bars);
    chart.setPercentAxis(true);
    for (int i = 0; i < bars; ++i) {
        chart.setValue(i, 40 + (i * 37) % 120);
        chart.setColour(i, i % 5 == 0 ? QColor(255, 50, 50) : QColor(30, 200, 30));
    }
    chart.show();
    QApplication::processEvents();
    for (auto _ : state) {
        chart.repaint();
    }
    reportShare(state);
}
BENCHMARK(WindowRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
