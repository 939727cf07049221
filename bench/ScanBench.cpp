// The scan monitor's cost per sample: decoding the beam-state answer of three sensors of 128
// beams and adding its column to the time chart, through to the repaint of that column; and,
// for whether 25 ms can be kept at all, the read itself over qavix-sim's pseudo-terminal at
// 115200 baud with the line-rate model on. The counter share_of_25ms_pct puts the wall time
// per sample against the shortest interval (25 ms); the library prints it with a unit
// suffix, but the number is the percentage.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "SimProcess.h"
#include "comm/CCommLink.h"
#include "comm/ScanReader.h"
#include "model/ScanReply.h"
#include "model/ScanRows.h"
#include "monitor/ScanChart.h"

namespace {

using namespace qavix;

constexpr double kIntervalSeconds = 0.025;

SettingsData threeFullSensors() {
    SettingsData set;
    set.general.jointNum = 3;
    for (int c = 0; c < kChannelCount; ++c) {
        set.channel(c).beamCount = kMaxBeams;
    }
    return set;
}

// Two answers that differ in every byte, so every cell changes from sample to sample.
std::string answer(int phase) {
    std::string text;
    for (int i = 0; i < 3 * scan::kFlagBytesPerSensor; ++i) {
        text += phase == 0 ? "A5" : "5A";
    }
    return text;
}

void sharePerSample(benchmark::State& state) {
    // Seconds per iteration over 25 ms, in percent.
    state.counters["share_of_25ms_pct"] =
        benchmark::Counter(kIntervalSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void BM_ScanSample(benchmark::State& state) {
    const int rowsShown = static_cast<int>(state.range(0));
    const int samplesShown = static_cast<int>(state.range(1));
    SettingsData set = threeFullSensors();
    const scan::ScanRange range = scan::scanRange(kAllChannels, 3);
    const std::string answers[2] = {answer(0), answer(1)};
    ScanChart chart;
    chart.resize(900, 500);
    chart.show();
    chart.reset(scan::ScanRows(set, kAllChannels), rowsShown, samplesShown);
    chart.setRunning(true);
    QApplication::processEvents();
    int phase = 0;
    for (auto _ : state) {
        if (!scan::decodeScanReply(answers[phase], range, set)) {
            state.SkipWithError("answer refused");
            break;
        }
        chart.appendSample(set);
        chart.viewport()->repaint(chart.lastColumnRect());
        phase = 1 - phase;
    }
    sharePerSample(state);
    state.counters["rows_stored"] = chart.rows().count();
}
BENCHMARK(BM_ScanSample)
    ->ArgNames({"rows_shown", "samples_shown"})
    ->Args({128, 60})
    ->Args({128, 1000})
    ->Args({10, 10})
    ->UseRealTime()  // the share is of the UI thread's wall time between two samples
    ->Unit(benchmark::kMicrosecond);

// The decoder alone, for the part of the cost that the command-line client shares.
void BM_ScanDecode(benchmark::State& state) {
    SettingsData set = threeFullSensors();
    const scan::ScanRange range = scan::scanRange(kAllChannels, 3);
    const std::string text = answer(0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(scan::decodeScanReply(text, range, set));
    }
}
BENCHMARK(BM_ScanDecode)->Unit(benchmark::kMicrosecond);

class QuietHost : public CommHost {
  public:
    void showMessage(const std::string&) override {}
    bool ask(Question, const std::string&) override { return false; }
    void runCommSettings() override {}
    void endProgram() override {}
};

// One sample read of all three sensors as the page makes it, over a real serial line.
void BM_ScanReadAt115200(benchmark::State& state) {
    qavix::test::SimProcess sim({"--sensors", "128,128,128", "--line-rate", "tty"});
    if (sim.device().empty()) {
        state.SkipWithError("qavix-sim did not start");
        return;
    }
    setenv("QAVLINK_COM1", sim.device().c_str(), 1);
    QuietHost host;
    DeviceModel model;
    CCommLink link(host, model);
    if (!link.start(QAVLINK_PATH)) {
        state.SkipWithError("link library not loaded");
        return;
    }
    LinkSettings settings;
    settings.blocks[0] = {115200, 7, 2, 2, 0, 0};
    link.setSettings(settings);
    if (link.open() != kRequestOk || link.checkStatus() != kRequestOk ||
        link.suspendPolling() != kRequestOk) {
        state.SkipWithError("no answer from the emulator");
        return;
    }
    SettingsData& set = model.working();
    set.general.jointNum = 3;
    scan::ScanReader reader(link.api());
    const scan::ScanRange range = scan::scanRange(kAllChannels, 3);
    for (auto _ : state) {
        if (reader.sample(range, set) != scan::SampleOutcome::Taken) {
            state.SkipWithError("a sample was not read");
            break;
        }
    }
    sharePerSample(state);
}
BENCHMARK(BM_ScanReadAt115200)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
