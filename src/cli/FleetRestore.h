#pragma once
// qavixctl fleet restore PLANT NAME --from BACKUP: one controller's backed-up current values
// written back through the import (its checks, its question, its verification).

#include <string>

#include "DeviceOptions.h"

namespace qavix::cli {

struct FleetRestoreArgs {
    std::string plant;
    std::string name;
    std::string from;  // the run's folder (holding manifest.json) or NAME's folder in it
};

int runFleetRestore(const DeviceOptions& options, const FleetRestoreArgs& args);

}  // namespace qavix::cli
