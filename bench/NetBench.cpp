// The link through Debian's ser2net on loopback against the same over qavix-sim's
// pseudo-terminal directly, with the emulator pacing replies at the rate set on its
// terminal (--line-rate tty, 11 bits per character as 7E2). For the raw port ser2net's
// connector carries the rate; through RFC 2217 the link sets it when the port opens.
//
// RoundTrip/<baud>/<rfc2217>: status round trips (KRYL_GetControlDataWait 48).
// InitialRead/<baud>/<rfc2217>: Read all and the bank reads, through the worker thread.
// Counter "ratio" is the time through the server over the time over the pseudo-terminal,
// measured alternately in the same run; the target is at most 1.05.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <string>

#include "LinkApi.h"
#include "Ser2netProcess.h"
#include "SimProcess.h"
#include "comm/CCommLink.h"
#include "comm/Transactions.h"

namespace {

using qavix::link::test::LinkApi;
using qavix::test::Ser2netProcess;
using qavix::test::SimProcess;
using Clock = std::chrono::steady_clock;

constexpr int kStatusId = 48;
constexpr int kTimeoutMs = 1500;
constexpr int kRounds = 20;
constexpr const char* kBits = "11";

// Seconds for kRounds status round trips through `target`; negative on a failure.
double statusRounds(const std::string& target, int baud) {
    const LinkApi& api = LinkApi::instance();
    ::setenv("QAVLINK_COM1", target.c_str(), 1);
    const int block[KRYL_PORT_BLOCK_SIZE] = {baud, 7, 2, 2, 0, 0};
    if (api.initialize() != 1 || api.open("COM1", block) != 1) {
        return -1;
    }
    char reply[1024] = {};
    double seconds = -1;
    if (api.getControlDataWait(kStatusId, reply, kTimeoutMs) == 1) {  // the line settles
        const auto start = Clock::now();
        int done = 0;
        while (done < kRounds && api.getControlDataWait(kStatusId, reply, kTimeoutMs) == 1) {
            ++done;
        }
        if (done == kRounds) {
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
        }
    }
    api.close();
    api.terminate();
    return seconds;
}

class QuietHost : public qavix::CommHost {
  public:
    void showMessage(const std::string&) override { failed = true; }
    bool ask(qavix::Question, const std::string&) override {
        failed = true;
        return false;
    }
    void runCommSettings() override {}
    void endProgram() override { failed = true; }
    bool failed = false;
};

// Seconds for Read all and the bank reads through `target`; negative on a failure.
double initialRead(const std::string& target, int baud) {
    ::setenv("QAVLINK_COM1", target.c_str(), 1);
    QuietHost host;
    qavix::DeviceModel model;
    qavix::CCommLink link(host, model);
    if (!link.start(QAVLINK_PATH)) {
        return -1;
    }
    qavix::LinkSettings settings;
    settings.blocks[0] = {baud, 7, 2, 2, 0, 0};
    link.setSettings(settings);
    link.suspendPolling();
    if (link.open() != qavix::kRequestOk || link.checkStatus() != qavix::kRequestOk) {
        return -1;
    }
    qavix::Transactions transactions(link, model);
    const auto start = Clock::now();
    if (transactions.readAll() != qavix::kRequestOk ||
        transactions.readBanks() != qavix::kRequestOk || host.failed) {
        return -1;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename Measure>
void compare(benchmark::State& state, const std::vector<std::string>& simOptions, Measure measure) {
    const auto baud = static_cast<int>(state.range(0));
    const bool rfc2217 = state.range(1) != 0;
    SimProcess sim(simOptions);
    // The raw port's rate is the server's; RFC 2217 starts elsewhere and sets it.
    const qavix::test::Ser2netPort port{
        rfc2217, sim.device(), (rfc2217 ? std::string("9600") : std::to_string(baud)) + "e72"};
    if (sim.device().empty() || !Ser2netProcess::available()) {
        state.SkipWithError("no emulator or no ser2net");
        return;
    }
    double direct = 0;
    double through = 0;
    for (auto _ : state) {
        const double d = measure(sim.device(), baud);
        double t = -1;
        {
            // A server of its own each time: ser2net lets go of the terminal some time
            // after its client has gone, and would meanwhile read the next direct replies.
            Ser2netProcess server(port);
            if (server.running()) {
                t = measure(server.target(), baud);
            }
        }
        if (d <= 0 || t <= 0) {
            state.SkipWithError("a request failed");
            return;
        }
        direct += d;
        through += t;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["ratio"] = through / direct;
    state.counters["pty_ms"] = 1e3 * direct / n;
    state.counters["ser2net_ms"] = 1e3 * through / n;
}

void RoundTrip(benchmark::State& state) {
    compare(state, {"--line-rate", "tty", "--bits", kBits}, statusRounds);
}
BENCHMARK(RoundTrip)
    ->ArgsProduct({{9600, 115200}, {0, 1}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void InitialRead(benchmark::State& state) {
    compare(state, {"--sensors", "16,16", "--line-rate", "tty", "--bits", kBits}, initialRead);
}
BENCHMARK(InitialRead)
    ->ArgsProduct({{9600, 115200}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
