#pragma once
// The monitors' payloads as a plant view reads them (docs/monitor.md holds their schemas),
// through the program's one JSON reader. A payload that is no JSON of its topic's shape is
// refused with the reason, never half read: the view counts it and goes on.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "telemetry/MonitorPayloads.h"

namespace qavix::plant {

struct SensorOfStatus {
    int channel = 0;
    int beams = 0;
};

struct ControllerErrorOfStatus {
    std::string number;  // "A2"
    std::string text;
};

struct StatusMessage {
    std::optional<std::time_t> time;
    std::string port;  // "COM1"
    int unit = 0;
    std::string target;  // empty: not named (an older monitor, or nothing configured)
    std::string host;
    std::optional<double> intervalSeconds;
    telemetry::LineState line = telemetry::LineState::Ok;
    std::string problem;
    std::optional<int> stateCode;
    std::string stateText;
    std::optional<ControllerErrorOfStatus> error;
    std::vector<SensorOfStatus> sensors;
    bool readFailed = false;
    std::string readError;
    std::string fingerprint;  // the settings' short fingerprint, once a monitor names it
};

struct MarginOfLevels {
    int channel = 0;
    std::optional<std::time_t> time;
    bool known = false;  // a beam receives light
    double percent = 0;
    int beam = 0;
};

struct AlertMessage {
    std::optional<std::time_t> time;
    bool low = true;  // margin-low, else margin-ok
    int channel = 0;
    int beam = 0;
    double margin = 0;
    double warnMargin = 0;
};

struct ErrorEntryMessage {
    std::optional<std::time_t> time;
    std::string dateText;
    std::string number;
    std::string text;
};

// Each: nothing, with the reason in `error`, for a payload that is not of the topic's shape.
std::optional<bool> parseOnline(std::string_view payload, std::string& error);
std::optional<StatusMessage> parseStatus(std::string_view payload, std::string& error);
std::optional<MarginOfLevels> parseLevels(std::string_view payload, std::string& error);
std::optional<AlertMessage> parseAlert(std::string_view payload, std::string& error);
std::optional<ErrorEntryMessage> parseErrorEntry(std::string_view payload, std::string& error);

}  // namespace qavix::plant
