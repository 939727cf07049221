#pragma once
// qavixctl monitor: reads one controller for as long as it runs and publishes its status,
// levels, new error-log entries and lens-dirt alerts to an MQTT broker (or as JSON lines).
// Topics and payloads: docs/monitor.md.

#include "DeviceOptions.h"
#include "MonitorOptions.h"

namespace CLI {
class App;
}

namespace qavix::cli {

void addMonitorCommand(CLI::App& app, const DeviceOptions& options, int& exitCode);

int runMonitor(const DeviceOptions& options, const MonitorArgs& args);

}  // namespace qavix::cli
