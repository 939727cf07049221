#pragma once
// The backup's metrics for node-exporter's textfile collector, in the Prometheus text
// exposition format: per controller the time of its last successful backup, whether the
// last run saved it, and whether its settings differ from its golden file. The time of the
// last success outlives failed runs by being read back from the previous file.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::history {

struct ControllerMetrics {
    std::string name;
    bool success = false;
    std::optional<double> lastSuccess;  // seconds since the epoch
    std::optional<bool> drift;          // only where a golden file is named and was compared
};

std::string metricsText(const std::vector<ControllerMetrics>& controllers);

// The last-success times of a file metricsText wrote, by controller; lines it does not
// recognise are skipped, so a damaged file loses times, never the run.
std::map<std::string, double> lastSuccessTimes(std::string_view text);

}  // namespace qavix::history
