#pragma once
// One run of qavixctl monitor once the controller is found: the sinks (broker, JSON lines),
// the kept error-log state, and the loop of reads until Ctrl+C or --once.

#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "JsonlSink.h"
#include "MonitorOptions.h"
#include "StopSignals.h"
#include "broker/MqttClient.h"
#include "telemetry/BrokerUrl.h"
#include "telemetry/ControllerMonitor.h"
#include "telemetry/Publisher.h"

namespace qavix::cli {

// Reads the controller's ID until it answers: without --name the topics are named after it.
// False, with the exit code, when --once gives up or a stop signal ends the wait.
bool waitForIdentity(telemetry::ControllerMonitor& monitor, bool once, int& exitCode);

// Everything one run holds, wired in one place and taken down in order.
class MonitorRun {
  public:
    MonitorRun(const MonitorArgs& args, telemetry::ControllerMonitor& monitor)
        : m_args(args), m_monitor(monitor) {}

    bool openSinks(const std::optional<telemetry::BrokerUrl>& broker, const std::string& password,
                   std::string& error);
    void restoreState();
    int loop();

  private:
    void publish(std::vector<telemetry::OutMessage> messages);
    bool writeJsonl(const telemetry::OutMessage& m);
    void delivered(const telemetry::OutMessage& m);
    void refused(const telemetry::OutMessage& m, const std::string& reason);
    void saveState(const std::string& key);
    void reportLine();
    void serveUntil(StopClock::time_point until);
    int finishOnce();

    const MonitorArgs& m_args;
    telemetry::ControllerMonitor& m_monitor;
    std::unique_ptr<broker::MqttClient> m_mqtt;
    std::unique_ptr<telemetry::Publisher> m_publisher;
    std::unique_ptr<JsonlSink> m_jsonl;
    std::string m_statePath;
    std::optional<std::string> m_savedState;
    size_t m_pendingErrors = 0;
    bool m_stateWarned = false;
    std::optional<telemetry::LineState> m_reportedLine;
    bool m_sinkFailed = false;
    bool m_errorRefused = false;  // an error entry the broker refused: the state stays put
    std::set<std::string> m_refusalsTold;
};

}  // namespace qavix::cli
