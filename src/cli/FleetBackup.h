#pragma once
// qavixctl fleet backup PLANT --out DIR: every controller's current values and chosen banks
// as bank files in DIR/YYYYMMDD-HHMMSS/NAME/, with manifest.json beside them.

#include <string>

namespace qavix::cli {

struct FleetBackupArgs {
    std::string plant;
    std::string out;
    int jobs = 0;  // 0: one per line, at most fleet::kMaxJobs
    bool quiet = false;
};

// kExitOk when every controller was saved, kExitFailed when any was not (the manifest still
// lists each), kExitFileError when the plant or the output folder cannot be used.
int runFleetBackup(const FleetBackupArgs& args);

}  // namespace qavix::cli
