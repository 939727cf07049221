#pragma once
// The options `fleet backup` has beyond its dated folder (--git, --push, --metrics, the
// hooks, --config) and the configuration file a scheduled run reads them from.

#include <CLI/CLI.hpp>

#include "FleetBackup.h"

namespace qavix::cli {

void addBackupFollowUpOptions(CLI::App& backup, BackupFollowUpOptions& options);

// Fills what the command line left out from --config, then checks that the options go
// together. kExitOk, or kExitUsage after a message.
int completeBackupArgs(const CLI::App& backup, FleetBackupArgs& args);

}  // namespace qavix::cli
