// The plant window at scale. BM_PlantWindowScale: 500 synthetic controllers (plant_load, a
// process of its own, publishing retained status and CH1 levels at a 10 s interval each)
// through Debian's mosquitto into the window for 60 s (PLANT_BENCH_SECONDS), shown offscreen
// at its default size: the window process's CPU as percent of one core, and the time from a
// status being made to its row being painted (p50, p95, max). Targets: under 5 % and under
// 0.5 s. The others time the parts: reading and applying one message, and one batch of 500
// changed rows into the sorted view.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BrokerProcess.h"
#include "TempDir.h"
#include "frame/PlantFilterProxy.h"
#include "frame/PlantTableModel.h"
#include "frame/PlantWindow.h"
#include "plant/PlantTable.h"
#include "telemetry/MonitorPayloads.h"

namespace {

using namespace qavix;

constexpr int kControllers = 500;
constexpr double kIntervalSeconds = 10.0;

std::string statusPayload(int i) {
    telemetry::StatusReport r;
    r.time = std::time(nullptr);
    r.name = "plc-" + std::to_string(i);
    r.port = "COM1";
    r.target = "tcp:192.0.2.10:4001";
    r.host = "press-pc";
    r.intervalSeconds = kIntervalSeconds;
    r.state = i % 7 == 0 ? 2 : 0;
    r.beams = {40};
    return telemetry::statusPayload(r);
}

std::string levelsPayload(int i) {
    std::vector<levels::BarView> bars(40);
    for (size_t b = 0; b < bars.size(); ++b) {
        bars[b].ref = {0, static_cast<int>(b)};
        bars[b].value = 100 + static_cast<int>(b + static_cast<size_t>(i)) % 20;
        bars[b].thresholds = {50, 40};
        bars[b].state = chart::BarState::Incident;
    }
    return telemetry::levelsPayload(std::time(nullptr), 1, bars, telemetry::sensorMargin(bars));
}

void BM_PlantTableApply(benchmark::State& state) {
    std::vector<broker::ReceivedMessage> messages;
    for (int i = 0; i < kControllers; ++i) {
        const std::string name = "plc-" + std::to_string(i);
        messages.push_back({"qavix/" + name + "/status", statusPayload(i), false});
        messages.push_back({"qavix/" + name + "/levels/CH1", levelsPayload(i), false});
    }
    plant::PlantTable table("qavix");
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.apply(messages[k], std::time(nullptr)));
        k = (k + 1) % messages.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlantTableApply);

void BM_PlantBatchOf500Rows(benchmark::State& state) {
    plant::PlantTable table("qavix");
    for (int i = 0; i < kControllers; ++i) {
        const std::string name = "plc-" + std::to_string(i);
        table.apply({"qavix/" + name + "/online", "true", true}, std::time(nullptr));
        table.apply({"qavix/" + name + "/status", statusPayload(i), true}, std::time(nullptr));
        table.apply({"qavix/" + name + "/levels/CH1", levelsPayload(i), false}, std::time(nullptr));
    }
    std::vector<plant::PlantRow> rows;
    for (const auto& [name, row] : table.rows()) {
        rows.push_back(row);
    }
    PlantTableModel model;
    PlantFilterProxy proxy;
    proxy.setSourceModel(&model);
    QTableView view;
    view.setModel(&proxy);
    view.setSortingEnabled(true);
    view.sortByColumn(PlantTableModel::kColSeverity, Qt::DescendingOrder);
    view.resize(1100, 560);
    view.show();
    model.update(rows);
    for (auto _ : state) {
        model.update(rows);
        view.viewport()->repaint();
    }
}
BENCHMARK(BM_PlantBatchOf500Rows)->Unit(benchmark::kMillisecond);

long long monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

void BM_PlantWindowScale(benchmark::State& state) {
    const char* secondsText = std::getenv("PLANT_BENCH_SECONDS");
    const int seconds = secondsText != nullptr ? std::atoi(secondsText) : 60;
    const qavix::test::TempDir tmp;
    const std::string dir = tmp.str();
    for (auto _ : state) {
        qavix::test::Broker broker(dir);
        if (!broker.start()) {
            state.SkipWithError("mosquitto did not start");
            break;
        }
        PlantWindowServices services;
        services.settings.brokerUrl = "mqtt://127.0.0.1:" + std::to_string(broker.port());
        PlantWindow window(services);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        window.start();
        std::vector<int> changed;
        QObject::connect(window.model(), &QAbstractItemModel::dataChanged,
                         [&](const QModelIndex& from, const QModelIndex& to) {
                             // The clock's tick touches every row: only the rows a batch
                             // brought count.
                             if (to.row() == from.row()) {
                                 changed.push_back(from.row());
                             }
                         });
        std::vector<double> latencies;
        QObject::connect(&window, &PlantWindow::refreshed, [&] {
            window.view()->viewport()->repaint();
            const long long now = monotonicNs();
            for (const int r : changed) {
                const auto& row = window.model()->plantRow(r);
                if (!row.status || row.status->stateText.rfind('#', 0) != 0) {
                    continue;
                }
                const long long made = std::atoll(row.status->stateText.c_str() + 1);
                latencies.push_back(static_cast<double>(now - made) / 1e6);
            }
            changed.clear();
        });
        qavix::test::ChildProcess load({PLANT_LOAD, std::to_string(broker.port()),
                                        std::to_string(kControllers),
                                        std::to_string(kIntervalSeconds), std::to_string(seconds)});
        // The first round of retained messages is the start, not the steady state.
        QEventLoop settle;
        QTimer::singleShot(static_cast<int>(kIntervalSeconds * 1000), &settle, &QEventLoop::quit);
        settle.exec();
        latencies.clear();
        const double cpuBefore = cpuSeconds();
        const auto wallBefore = monotonicNs();
        QEventLoop loop;
        QTimer::singleShot((seconds - static_cast<int>(kIntervalSeconds)) * 1000, &loop,
                           &QEventLoop::quit);
        loop.exec();
        const double wall = static_cast<double>(monotonicNs() - wallBefore) / 1e9;
        state.counters["cpu_percent"] = 100.0 * (cpuSeconds() - cpuBefore) / wall;
        state.counters["latency_p50_ms"] = percentile(latencies, 0.5);
        state.counters["latency_p95_ms"] = percentile(latencies, 0.95);
        state.counters["latency_max_ms"] = percentile(latencies, 1.0);
        state.counters["statuses"] = static_cast<double>(latencies.size());
        state.counters["rows"] = window.model()->rowCount();
        load.wait(std::chrono::seconds(10));
    }
}
BENCHMARK(BM_PlantWindowScale)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
