// One cycle of qavixctl monitor for one controller with three sensors of 128 beams, without
// the line: decoding the replies, judging every bar and the margins, building the JSON
// payloads and handing them to the publisher. Target: under 1 ms of CPU.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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
extern "C" int benchRead(int id, int, int count, char* reply, int) {
    static std::string cache[256][kBeams + 2];
    std::string& r = cache[id & 0xFF][std::min(count, kBeams + 1)];
    if (r.empty()) {
        r = replyOf(id, count);
    }
    std::memcpy(reply, r.c_str(), r.size() + 1);
    return 1;
}

class CountingBroker : public telemetry::BrokerLink {
  public:
    bool connected() const override { return true; }
    bool send(const telemetry::OutMessage& m, int& id) override {
        bytes += m.payload.size();
        id = ++last;
        return true;
    }
    size_t bytes = 0;
    int last = 0;
};

void BM_MonitorCycle(benchmark::State& state) {
    LinkApi api;
    api.open = benchOpen;
    api.close = benchClose;
    api.getControlDataWait = benchStatus;
    api.getParameterDataWait = benchRead;
    CommTimings timings;
    timings.retryDelay = std::chrono::milliseconds(0);
    telemetry::ControllerReader reader(api, LinkSettings{}, timings);
    telemetry::MonitorConfig config;
    config.name = "line7";
    config.interval = std::chrono::milliseconds(1000);
    telemetry::ControllerMonitor monitor(reader, config);
    CountingBroker broker;
    telemetry::Publisher publisher(broker, telemetry::kDefaultQueueCapacity, 1000000);
    for (auto _ : state) {
        for (auto& m : monitor.cycle(false)) {
            publisher.publish(std::move(m));
        }
        // The broker's acknowledgements, so nothing piles up in flight.
        for (int id = broker.last - 3; id <= broker.last; ++id) {
            publisher.acknowledged(id);
        }
    }
    state.counters["payload_bytes"] =
        benchmark::Counter(static_cast<double>(broker.bytes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MonitorCycle)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
