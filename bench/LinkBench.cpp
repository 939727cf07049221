// Round trips of libqavlink over qavix-sim's pseudo-terminal.
//
// LineRate/<baud>: the emulator holds each reply back as a line of that rate would
// (--line-rate tty, 11 bits per character as 7E2). Counter "ratio" is the measured time
// over the line-time bound, characters both ways x 11 / baud; the target is <= 1.15.
// StatusRoundTrip: no line model; counter "median_us" is the median status round trip.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "LinkApi.h"
#include "SimProcess.h"

namespace {

using qavix::link::test::LinkApi;
using qavix::test::SimProcess;
using Clock = std::chrono::steady_clock;

constexpr int kStatusId = 48;
constexpr int kTimeoutMs = 1500;
constexpr int kBitsPerCharacter = 11;  // 1 start, 7 data, even parity, 2 stop

bool connect(const LinkApi& api, const std::string& device, int baud) {
    ::setenv("QAVLINK_COM1", device.c_str(), 1);
    const int block[KRYL_PORT_BLOCK_SIZE] = {baud, 7, 2, 2, 0, 0};
    return api.initialize() == 1 && api.open("COM1", block) == 1;
}

void disconnect(const LinkApi& api) {
    api.close();
    api.terminate();
}

std::size_t wireCharacters(const LinkApi& api) {
    char sent[KRYL_FRAME_BUFFER_SIZE] = {};
    char received[KRYL_FRAME_BUFFER_SIZE] = {};
    api.getCommData(sent, received);
    return std::strlen(sent) + std::strlen(received);
}

void LineRate(benchmark::State& state) {
    const auto baud = static_cast<int>(state.range(0));
    const LinkApi& api = LinkApi::instance();
    SimProcess sim({"--line-rate", "tty", "--bits", std::to_string(kBitsPerCharacter)});
    if (!api.missing.empty() || sim.device().empty() || !connect(api, sim.device(), baud)) {
        state.SkipWithError("no link to the emulator");
        return;
    }
    double measured = 0;
    double bound = 0;
    for (auto _ : state) {
        char reply[1024] = {};
        const auto start = Clock::now();
        if (api.getControlDataWait(kStatusId, reply, kTimeoutMs) != 1) {
            state.SkipWithError("request failed");
            break;
        }
        measured += std::chrono::duration<double>(Clock::now() - start).count();
        bound += static_cast<double>(wireCharacters(api) * kBitsPerCharacter) / baud;
    }
    disconnect(api);
    if (bound > 0) {
        state.counters["ratio"] = measured / bound;
        state.counters["bound_us"] =
            1e6 * bound /
            static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    }
}
BENCHMARK(LineRate)->Arg(9600)->Arg(115200)->Unit(benchmark::kMillisecond)->UseRealTime();

void StatusRoundTrip(benchmark::State& state) {
    const LinkApi& api = LinkApi::instance();
    SimProcess sim({});
    if (!api.missing.empty() || sim.device().empty() || !connect(api, sim.device(), 115200)) {
        state.SkipWithError("no link to the emulator");
        return;
    }
    std::vector<double> times;
    for (auto _ : state) {
        char reply[1024] = {};
        const auto start = Clock::now();
        if (api.getControlDataWait(kStatusId, reply, kTimeoutMs) != 1) {
            state.SkipWithError("request failed");
            break;
        }
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    disconnect(api);
    if (!times.empty()) {
        std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2),
                         times.end());
        state.counters["median_us"] = times[times.size() / 2];
    }
}
BENCHMARK(StatusRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
