#pragma once
// qavixctl monitor: reads one controller for as long as it runs and publishes its status,
// levels, new error-log entries and lens-dirt alerts to an MQTT broker (or as JSON lines).
// Topics and payloads: docs/monitor.md.

#include <string>
#include <vector>

#include "DeviceOptions.h"

namespace CLI {
class App;
}

namespace qavix::cli {

struct MonitorArgs {
    std::string mqtt;  // mqtt://HOST[:PORT] or mqtts://HOST[:PORT]
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    std::string username;
    std::string passwordFile;
    std::string mqttVersion = "5";
    std::string name;
    double intervalSeconds = 10.0;
    double errorsEverySeconds = 60.0;
    double warnMargin = 130.0;
    int warnCount = 3;
    double retryMaxSeconds = 60.0;
    std::string config;  // read before parsing (expandMonitorConfig)
    bool once = false;
    std::string jsonl;
    std::string stateFile;
    std::string device;  // what the port resolves to, instead of Qavix.ini
};

void addMonitorCommand(CLI::App& app, const DeviceOptions& options, int& exitCode);

int runMonitor(const DeviceOptions& options, const MonitorArgs& args);

// Puts the options of a --config file of the monitor command into `args` (the command line
// without the program name), right after "monitor", as "--key value"; an option that the
// command line gives itself keeps the command line's value. False with a message for a
// file that cannot be read or holds a line or key the command does not know.
bool expandMonitorConfig(std::vector<std::string>& args, std::string& error);

}  // namespace qavix::cli
