#pragma once
// What every fleet command shares: the plant file, the link settings of its controllers and
// running a piece of work for each of them, lines side by side, with Ctrl+C stopping the
// start of new ones.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "FleetProgress.h"
#include "comm/LinkSettings.h"
#include "fleet/PlantFile.h"

namespace qavix::cli {

// Reads and checks the plant file; every problem is printed with its line number. kExitOk,
// or kExitFileError when the plant cannot be used (nothing has connected by then).
int loadPlant(const std::string& path, fleet::Plant& plant);

// The link settings of each controller, with the line settings of ./Qavix.ini. kExitOk, or
// kExitFileError after a message when Qavix.ini exists but cannot be read.
int plantLinks(const std::vector<fleet::PlantController>& controllers,
               std::vector<LinkSettings>& links);

struct FleetRunResult {
    std::vector<size_t> notStarted;  // indexes of controllers a stop kept from starting
    bool stopped = false;            // Ctrl+C or SIGTERM came
};

// Runs work(i, stop) for every controller i: one worker per line, `jobs` at most (0: the
// default), controllers sharing a line one after the other. Ctrl+C or SIGTERM starts no new
// controller and sets `stop`, which work in progress reads after each of its steps; the
// call returns when the work in progress has ended.
using FleetWork = std::function<void(size_t index, const std::atomic<bool>& stop)>;
FleetRunResult runOnLines(const std::vector<fleet::PlantController>& controllers, int jobs,
                          FleetProgress& progress, const FleetWork& work);

// A controller's messages as one line for a summary.
std::string oneLine(const std::vector<std::string>& messages);

}  // namespace qavix::cli
