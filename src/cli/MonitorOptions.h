#pragma once
// The options of qavixctl monitor: their --config file, and the checks made before anything
// connects.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "telemetry/BrokerUrl.h"

namespace qavix::cli {

constexpr const char* kMonitorCommand = "monitor";

struct MonitorArgs {
    std::string mqtt;  // mqtt://HOST[:PORT] or mqtts://HOST[:PORT]
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    std::string username;
    std::string passwordFile;
    std::string mqttVersion = "5";
    std::string name;
    bool nameGiven = false;  // an empty --name is a mistake, not the default
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

// Puts the options of a --config file of the monitor command into `args` (the command line
// without the program name), right after "monitor", as "--key value"; an option that the
// command line gives itself keeps the command line's value. False with a message for a
// file that cannot be read or holds a line or key the command does not know.
bool expandMonitorConfig(std::vector<std::string>& args, std::string& error);

// Checks everything that can be checked before anything connects: kExitOk, or kExitUsage
// with the reason on stderr. Fills in the broker of --mqtt and the password of
// --password-file.
int checkMonitorArgs(const MonitorArgs& args, std::optional<telemetry::BrokerUrl>& broker,
                     std::string& password);

// An option given in seconds, rounded to milliseconds.
std::chrono::milliseconds toMs(double seconds);

}  // namespace qavix::cli
