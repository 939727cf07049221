// The program's own sequences over qavix-sim's pseudo-terminal with the line-rate model on:
// Read all followed by Read banks, through the worker thread, status checks and decoding.
//
// ReadAllAndBanks/<baud>: counter "ratio" is the measured time over the line-time bound of
// the same traffic (every frame's characters x 11 bits / baud, both ways, status checks
// included); the target is <= 1.2, i.e. the program adds little beyond the line itself.

#include <benchmark/benchmark.h>

#include <chrono>
#include <mutex>
#include <string>

#include "EmulatedLink.h"
#include "comm/Transactions.h"

namespace {

using Clock = std::chrono::steady_clock;
using qavix::bench::kBitsPerCharacter;

// Counts the characters of every exchange; answers nothing, since nothing may be asked.
class CountingHost : public qavix::CommHost {
  public:
    void showMessage(const std::string&) override { failed = true; }
    bool ask(qavix::Question, const std::string&) override {
        failed = true;
        return false;
    }
    void runCommSettings() override {}
    void endProgram() override { failed = true; }
    void recordTrace(const std::string& sent, const std::string& received) override {
        std::lock_guard<std::mutex> lock(mutex);
        characters += sent.size() + received.size();
    }

    std::mutex mutex;
    std::size_t characters = 0;
    bool failed = false;
};

void ReadAllAndBanks(benchmark::State& state) {
    const auto baud = static_cast<int>(state.range(0));
    CountingHost host;
    qavix::bench::EmulatedLink line(host, "16,16", baud, true);
    if (!line.problem().empty()) {
        state.SkipWithError(line.problem().c_str());
        return;
    }
    qavix::Transactions transactions(line.link(), line.model());
    double measured = 0;
    std::size_t characters = 0;
    for (auto _ : state) {
        {
            std::lock_guard<std::mutex> lock(host.mutex);
            host.characters = 0;
        }
        const auto start = Clock::now();
        if (transactions.readAll() != qavix::kRequestOk ||
            transactions.readBanks() != qavix::kRequestOk) {
            state.SkipWithError("sequence failed");
            break;
        }
        measured += std::chrono::duration<double>(Clock::now() - start).count();
        std::lock_guard<std::mutex> lock(host.mutex);
        characters += host.characters;
    }
    const double bound = static_cast<double>(characters * kBitsPerCharacter) / baud;
    if (bound > 0 && !host.failed) {
        state.counters["ratio"] = measured / bound;
        state.counters["characters"] =
            static_cast<double>(characters) /
            static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    }
}
BENCHMARK(ReadAllAndBanks)
    ->Arg(9600)
    ->Arg(115200)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
