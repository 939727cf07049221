#pragma once
// The topics and JSON payloads of qavixctl monitor (docs/monitor.md holds the contract and a
// JSON schema of each). Values are what the program shows: levels and thresholds in percent
// of the full scale as the graph page's ratio display, states as its bar colours, error
// texts as the error message and the error log page word them.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/Fingerprint.h"
#include "model/ControllerError.h"
#include "model/DeviceData.h"
#include "monitor/LevelReading.h"
#include "telemetry/MarginAlerts.h"
#include "telemetry/PublishQueue.h"

namespace qavix::telemetry {

constexpr const char* kTopicRoot = "qavix";

// How the line to the controller fared in a cycle.
enum class LineState {
    Ok,        // the controller answered
    Busy,      // another program holds the port
    Lost,      // the port is gone or failed (unplugged, closed by the far end)
    NoAnswer,  // the port opened but the controller stayed silent
};
const char* lineStateName(LineState line);
// The state a name of lineStateName stands for; nothing for another text.
std::optional<LineState> lineStateOfName(std::string_view name);

// "qavix/NAME/LEAF".
std::string topic(const std::string& name, const std::string& leaf);
// "levels/CH1" .. "levels/CH3".
std::string levelsLeaf(int channel);

// Why `name` cannot stand in a topic, or empty when it can: 1..64 bytes of UTF-8 (a broker
// refuses a topic that is not), no '/', '+', '#', blanks or control characters.
std::string topicNameProblem(const std::string& name);
inline bool isValidTopicName(const std::string& name) {
    return topicNameProblem(name).empty();
}

// The text of a controller state as the program's messages name it.
const char* controllerStateName(int state);
const char* controllerStateText(int state);

struct StatusReport {
    std::time_t time = 0;
    std::string name;
    std::string port;  // "COM1"
    int unit = 0;
    // What the port leads to on the monitor's machine ("tcp:HOST:PORT", "/dev/ttyUSB0",
    // "sim"; empty when nothing is configured), that machine's name and the read interval:
    // what a plant view needs to tell a silent monitor and whether it can open the port.
    std::string target;
    std::string host;
    double intervalSeconds = 0;
    LineState line = LineState::Ok;
    std::string problem;       // why the line is not ok, in the operator's words
    std::optional<int> state;  // known when the controller answered
    std::optional<ControllerError> error;
    std::vector<int> beams;  // beams of each connected sensor, CH1 first
    std::string readError;   // a read of this cycle failed (malformed reply ...)
    DeliveryCounters delivery;
    // Of the controller's current values, once read whole; not known before.
    Fingerprint fingerprint;
};

std::string onlinePayload(bool online);
std::string statusPayload(const StatusReport& report);

// One sensor's bars (ratio display) and margin.
std::string levelsPayload(std::time_t time, int channel, const std::vector<levels::BarView>& bars,
                          const SensorMargin& margin);

// One entry of the error log, dated by the controller's clock.
std::string errorEntryPayload(std::time_t time, const ErrorHistoryEntry& entry);

std::string alertPayload(std::time_t time, const MarginAlert& alert, double warnPercent,
                         int warnCount);

}  // namespace qavix::telemetry
