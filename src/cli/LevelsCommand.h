#pragma once
// qavixctl levels: the beams' received-light levels read the way the graph page reads them,
// printed once or logged to a CSV file at an interval until a count or Ctrl+C.

#include <string>

#include "DeviceOptions.h"

namespace CLI {
class App;
}

namespace qavix::cli {

struct LevelsArgs {
    std::string channel = "1";  // "1".."3" or "all"
    int intervalMs = 200;       // pause after one reading before the next
    int count = -1;             // readings; negative: 1 when printing, unlimited when logging
    std::string csvPath;        // append one row per sensor and reading
    bool absolute = false;      // absolute levels (capped at 200) instead of percent
};

void addLevelsCommand(CLI::App& app, const DeviceOptions& options, int& exitCode);

int runLevels(const DeviceOptions& options, const LevelsArgs& args);

}  // namespace qavix::cli
