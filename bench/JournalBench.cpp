// What the change journal adds to a write: appending one record with its fsync, against one
// round trip with the controller at 115200 baud, the fastest line it is ever on (a write
// sends several requests, each a round trip at least). The journal writes two records per
// write, whatever the number of requests.
//
// JournalAppend/<changes>: one record announcing that many changed fields (1: a page's
//   single value; 200: a bank file's whole import), appended in a folder of the build
//   machine's disk and synced (the journal's lock, reading the last line, the append, fsync).
// RoundTrip115200/<beams>: one parameter read (the thresholds of 16 or 128 beams) from
//   qavix-sim over a pseudo-terminal with the line-rate model on, as the worker calls the
//   link library.
//
// Target: an append well under one round trip.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <string>

#include "EmulatedLink.h"
#include "journal/Journal.h"

namespace {

constexpr int kBaud = 115200;

// A folder of the disk the build is on (not a tmpfs), removed at the end.
class BenchFolder {
  public:
    BenchFolder() {
        std::string pattern = (std::filesystem::current_path() / "journal-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

void JournalAppend(benchmark::State& state) {
    const BenchFolder folder;
    if (folder.path().empty()) {
        state.SkipWithError("no folder for the journal");
        return;
    }
    qavix::journal::Journal journal(folder.path() + "/journal");
    qavix::journal::Record record;
    record.operationId = std::string(32, '7');
    record.user = "operator";
    record.host = "line3-pc";
    record.program = "qavix";
    record.version = "1.0.0";
    record.port = "COM1";
    record.controller.type = "QX-AS300 CONTROLLER ";
    record.controller.serial = "0300920";
    record.target = "current";
    record.detail = "受光リスト";
    record.fingerprintBefore = qavix::Fingerprint{std::string(64, 'a')};
    record.fingerprintAfter = qavix::Fingerprint{std::string(64, 'b')};
    for (int i = 0; i < state.range(0); ++i) {
        record.changes.push_back({"CONTROLLER.AXIS_TH1_" + std::to_string(i % 8 + 1),
                                  "58,58,58,58,58,58,58,58,58,58,58,58,58,58,58,58",
                                  "60,58,58,58,58,58,58,58,58,58,58,58,58,58,58,58", "beam",
                                  1 + (i % 8) * 16});
    }
    for (auto _ : state) {
        record.time.clear();
        if (!journal.append(record).ok) {
            state.SkipWithError("the journal refused the record");
            return;
        }
    }
}
BENCHMARK(JournalAppend)->Arg(1)->Arg(200)->Unit(benchmark::kMicrosecond)->UseRealTime();

class QuietHost : public qavix::CommHost {
  public:
    void showMessage(const std::string&) override {}
    bool ask(qavix::Question, const std::string&) override { return false; }
    void runCommSettings() override {}
    void endProgram() override {}
};

void RoundTrip115200(benchmark::State& state) {
    QuietHost host;
    qavix::bench::EmulatedLink line(host, "128,128", kBaud);
    if (!line.problem().empty()) {
        state.SkipWithError(line.problem().c_str());
        return;
    }
    constexpr int kAxisThresholds = 103;
    const auto beams = static_cast<int>(state.range(0));
    std::array<char, qavix::kReplyBufferSize> reply{};
    for (auto _ : state) {
        if (line.link().api().getParameterDataWait(kAxisThresholds, 0, beams, reply.data(),
                                                   qavix::kRequestTimeoutMs) != 1) {
            state.SkipWithError("the read failed");
            return;
        }
    }
}
BENCHMARK(RoundTrip115200)->Arg(16)->Arg(128)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
