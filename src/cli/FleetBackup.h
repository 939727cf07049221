#pragma once
// qavixctl fleet backup PLANT --out DIR: every controller's current values and chosen banks
// as bank files in DIR/YYYYMMDD-HHMMSS/NAME/, with manifest.json beside them.

#include <string>

#include "FleetBackupFollowUp.h"
#include "comm/LinkSettings.h"
#include "fleet/BackupManifest.h"
#include "fleet/PlantFile.h"

namespace qavix::cli {

struct FleetBackupArgs {
    std::string plant;
    std::string out;  // may be empty with --git: the run then keeps no dated folder
    int jobs = 0;     // 0: one per line, at most fleet::kMaxJobs
    bool quiet = false;
    BackupFollowUpOptions followUp;  // --git, --push, --metrics, hooks
};

// kExitOk when every controller was saved, kExitFailed when any was not (the manifest still
// lists each), kExitFileError when the plant or the output folder cannot be used.
int runFleetBackup(const FleetBackupArgs& args);

// One controller read as a backup reads it, its files written into `runFolder`/NAME (for
// `fleet diff` against the live controller).
fleet::ControllerRecord backUpController(const fleet::PlantController& controller,
                                         const LinkSettings& link, const std::string& runFolder);

}  // namespace qavix::cli
