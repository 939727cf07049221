// One cycle of qavixctl monitor for one controller with three sensors of 128 beams, without
// the line: decoding the replies, judging every bar and the margins, building the JSON
// payloads and handing them to the publisher. Target: under 1 ms of CPU. The counters give
// the characters the cycle's replies carry and what they cost on a 9600 baud line (11 bits a
// character): a cycle that reads the thresholds of every beam, and one without changes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "comm/LinkApi.h"
#include "telemetry/ControllerMonitor.h"
#include "telemetry/Publisher.h"

namespace {

using namespace qavix;

constexpr int kBeams = 128;

std::string repeated(const std::string& piece, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += piece;
    }
    return s;
}

// The replies a controller gives, made once.
std::string replyOf(int id, int count) {
    switch (id) {
        case 80:
            return "03";
        case 72:
            return "808080";
        case 89: {
            std::string s;
            for (int b = 0; b < count; ++b) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "%04X", 95 + (b * 7) % 31);
                s += buf;
            }
            return s;
        }
        case 91:
            return repeated("0032", count);
        case 94:
            return repeated("0028", count);
        default:
            return std::string(static_cast<size_t>(2 * std::max(count, 1)), '0');
    }
}

extern "C" int benchOpen(const char*, const int*) {
    return 1;
}
extern "C" int benchClose() {
    return 1;
}
extern "C" int benchStatus(int, char* reply, int) {
    std::strcpy(reply, "000300");
    return 1;
}
size_t g_replyChars = 0;
size_t g_requests = 0;

extern "C" int benchRead(int id, int, int count, char* reply, int) {
    static std::string cache[256][kBeams + 2];
    std::string& r = cache[id & 0xFF][std::min(count, kBeams + 1)];
    if (r.empty()) {
        r = replyOf(id, count);
    }
    std::memcpy(reply, r.c_str(), r.size() + 1);
    g_replyChars += r.size();
    ++g_requests;
    return 1;
}

class CountingBroker : public telemetry::BrokerLink {
  public:
    bool connected() const override { return true; }
    Send send(const telemetry::OutMessage& m, int& id, std::string&) override {
        bytes += m.payload.size();
        id = ++last;
        return Send::Taken;
    }
    size_t bytes = 0;
    int last = 0;
};

LinkApi benchApi() {
    LinkApi api;
    api.open = benchOpen;
    api.close = benchClose;
    api.getControlDataWait = benchStatus;
    api.getParameterDataWait = benchRead;
    return api;
}

// Frame characters around a request's and a reply's payload (STX, ETX, check, the request's
// own text): about 16 a request, from docs/protocol.md.
constexpr double kFrameChars = 16.0;
constexpr double kBitsPerChar = 11.0;
constexpr double kBaud = 9600.0;

// state.range(0): 1 = every cycle reads the thresholds (a fresh monitor each time, as the
// first cycle and every cycle before this version did), 0 = cycles without changes.
void BM_MonitorCycle(benchmark::State& state) {
    const bool withThresholds = state.range(0) != 0;
    CommTimings timings;
    timings.retryDelay = std::chrono::milliseconds(0);
    telemetry::ControllerReader reader(benchApi(), LinkSettings{}, timings);
    telemetry::MonitorConfig config;
    config.name = "line7";
    config.interval = std::chrono::milliseconds(1000);
    auto monitor = std::make_unique<telemetry::ControllerMonitor>(reader, config);
    monitor->cycle(false);
    CountingBroker broker;
    telemetry::Publisher publisher(broker, telemetry::kDefaultQueueCapacity, 1000000);
    g_replyChars = 0;
    g_requests = 0;
    for (auto _ : state) {
        if (withThresholds) {
            monitor = std::make_unique<telemetry::ControllerMonitor>(reader, config);
        }
        for (auto& m : monitor->cycle(false)) {
            publisher.publish(std::move(m));
        }
        // The broker's acknowledgements, so nothing piles up in flight.
        for (int id = broker.last - 3; id <= broker.last; ++id) {
            publisher.acknowledged(id);
        }
    }
    const double cycles = static_cast<double>(state.iterations());
    const double chars = (static_cast<double>(g_replyChars) +
                          kFrameChars * static_cast<double>(g_requests + cycles)) /
                         cycles;
    state.counters["payload_bytes"] =
        benchmark::Counter(static_cast<double>(broker.bytes), benchmark::Counter::kAvgIterations);
    state.counters["requests"] = static_cast<double>(g_requests) / cycles + 1;  // + status
    state.counters["line_chars"] = chars;
    state.counters["line_ms_9600"] = 1000.0 * chars * kBitsPerChar / kBaud;
}
BENCHMARK(BM_MonitorCycle)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
