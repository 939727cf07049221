// A plant of synthetic controllers for the plant window's scale benchmark: publishes, through
// the program's own broker connection, N controllers' online flag, status and CH1 levels at
// their interval, spread evenly over it, for a given time. Each status names the moment it
// was made (CLOCK_MONOTONIC, in its state text) so the window's side can tell how long a
// message took to reach the screen.
//
//   plant_load PORT N INTERVAL_S SECONDS

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "broker/MqttClient.h"
#include "files/IsoTime.h"
#include "files/JsonWriter.h"
#include "telemetry/MonitorPayloads.h"
#include "telemetry/Publisher.h"

namespace {

using namespace qavix;
using Clock = std::chrono::steady_clock;

constexpr int kBeams = 40;
// Large enough for a whole interval of every controller while the broker is slow.
constexpr size_t kQueueCapacity = 20000;
constexpr size_t kInFlight = 200;

long long monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

telemetry::OutMessage message(std::string topic, std::string payload, bool retain) {
    telemetry::OutMessage m;
    m.kind = retain ? telemetry::MessageKind::Status : telemetry::MessageKind::Levels;
    m.topic = std::move(topic);
    m.payload = std::move(payload);
    m.qos = 1;
    m.retain = retain;
    return m;
}

std::string statusOf(const std::string& name, int unit, double interval) {
    telemetry::StatusReport r;
    r.time = std::time(nullptr);
    r.name = name;
    r.port = "COM1";
    r.unit = unit;
    r.target = "tcp:192.0.2.10:" + std::to_string(4000 + unit);
    r.host = "press-pc";
    r.intervalSeconds = interval;
    r.state = 0;
    r.beams = {kBeams};
    std::string payload = telemetry::statusPayload(r);
    // The stamp stands where the window shows it: the controller's state text.
    const std::string text = R"("state_text":")";
    const size_t at = payload.find(text);
    if (at != std::string::npos) {
        payload.insert(at + text.size(), "#" + std::to_string(monotonicNs()) + " ");
    }
    return payload;
}

std::string levelsOf(int i, long long cycle) {
    json::Writer j;
    j.beginObject();
    j.key("time").value(isoLocalTime(std::time(nullptr)));
    j.key("channel").value(1);
    j.key("beams").value(kBeams);
    for (const char* key : {"level", "on", "off"}) {
        j.key(key).beginArray();
        for (int b = 0; b < kBeams; ++b) {
            j.value(key[0] == 'l' ? 100 + (b + i + static_cast<int>(cycle)) % 20 : 50);
        }
        j.endArray();
    }
    j.key("state").beginArray();
    for (int b = 0; b < kBeams; ++b) {
        j.value("incident");
    }
    j.endArray();
    j.key("margin").beginObject().key("percent").value(200.0 + (i + cycle) % 20);
    j.key("beam").value(1 + (i + static_cast<int>(cycle)) % kBeams).endObject();
    j.endObject();
    return j.take();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: plant_load PORT N INTERVAL_S SECONDS\n");
        return 64;
    }
    const int port = std::atoi(argv[1]);
    const int count = std::atoi(argv[2]);
    const double interval = std::atof(argv[3]);
    const double seconds = std::atof(argv[4]);

    broker::MqttOptions o;
    o.broker.host = "127.0.0.1";
    o.broker.port = port;
    o.clientId = broker::uniqueClientId("plant-load");
    broker::MqttClient client(o, broker::waitForSocket);
    std::string error;
    if (!client.init(error)) {
        std::fprintf(stderr, "plant_load: %s\n", error.c_str());
        return 3;
    }
    telemetry::Publisher publisher(client, kQueueCapacity, kInFlight);
    client.attach(publisher);

    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "plc-%03d", i);
        names.emplace_back(name);
        publisher.publish(message(telemetry::topic(name, "online"), "true", true));
    }
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    const auto period = std::chrono::duration<double>(interval / count);
    long long sent = 0;
    while (Clock::now() < end) {
        // The next controller's turn, each at its own phase of the interval.
        const auto due = start + std::chrono::duration_cast<Clock::duration>(period * sent);
        while (Clock::now() < due) {
            client.service(due);
        }
        const int i = static_cast<int>(sent % count);
        const long long cycle = sent / count;
        publisher.publish(message(telemetry::topic(names[static_cast<size_t>(i)], "status"),
                                  statusOf(names[static_cast<size_t>(i)], i % 100, interval),
                                  true));
        publisher.publish(message(telemetry::topic(names[static_cast<size_t>(i)], "levels/CH1"),
                                  levelsOf(i, cycle), false));
        publisher.pump();
        ++sent;
    }
    const auto drain = Clock::now() + std::chrono::seconds(3);
    while (!publisher.idle() && Clock::now() < drain) {
        client.service(drain);
    }
    std::printf("%lld\n", sent * 2);
    return 0;
}
