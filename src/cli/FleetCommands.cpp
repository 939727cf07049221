#include "FleetCommands.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "DeviceOptions.h"
#include "ExitCodes.h"
#include "FleetBackup.h"
#include "FleetBackupOptions.h"
#include "FleetCheck.h"
#include "FleetHistoryCommands.h"
#include "FleetRestore.h"
#include "fleet/LinePlan.h"

namespace qavix::cli {

namespace {

std::string jobsHelp() {
    return "lines read at once (default: one per line, at most " + std::to_string(fleet::kMaxJobs) +
           ")";
}

void addBackup(CLI::App& fleet, int& exitCode) {
    auto args = std::make_shared<FleetBackupArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "backup",
        "Save every controller's current values and chosen banks as bank files in "
        "DIR/YYYYMMDD-HHMMSS/NAME/ with manifest.json, and/or record them in a git repository. "
        "Exit 0 all saved, 1 any not or the push failed, 2 the plant, DIR, the repository or "
        "the metrics file cannot be used, 130 interrupted");
    cmd->add_option("PLANT", args->plant, "plant file (see docs/plant.md)");
    cmd->add_option("--out", args->out, "folder that receives the backup folder");
    cmd->add_option("--jobs", args->jobs, jobsHelp())->check(CLI::Range(1, fleet::kMaxJobs));
    cmd->add_flag("--quiet,-q", args->quiet, "print only what went wrong (for cron)");
    addBackupFollowUpOptions(*cmd, args->followUp);
    cmd->callback([cmd, args, &exitCode] {
        exitCode = completeBackupArgs(*cmd, *args);
        if (exitCode == kExitOk) {
            exitCode = runFleetBackup(*args);
        }
    });
}

void addCheck(CLI::App& fleet, int& exitCode) {
    auto args = std::make_shared<FleetCheckArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "check",
        "Compare the current values of every controller that has a golden file with it, field "
        "by field. Exit 0 all same, 1 any differs, 2 a golden file cannot be read, 3 any "
        "unreachable");
    cmd->add_option("PLANT", args->plant, "plant file (see docs/plant.md)")->required();
    cmd->add_option("--jobs", args->jobs, jobsHelp())->check(CLI::Range(1, fleet::kMaxJobs));
    cmd->add_flag("--quiet,-q", args->quiet, "print only the controllers that are not the same");
    cmd->add_flag("--json", args->json, "print one JSON document instead of lines");
    cmd->callback([args, &exitCode] { exitCode = runFleetCheck(*args); });
}

void addRestore(CLI::App& fleet, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<FleetRestoreArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "restore",
        "Write the backed-up current values of controller NAME back to it, checked and "
        "verified as bank import does; asks first (--yes answers)");
    cmd->add_option("PLANT", args->plant, "plant file (see docs/plant.md)")->required();
    cmd->add_option("NAME", args->name, "the controller, as its section in PLANT")->required();
    cmd->add_option("--from", args->from,
                    "the backup folder (DIR/YYYYMMDD-HHMMSS) or NAME's folder in it")
        ->required();
    cmd->callback([args, &options, &exitCode] { exitCode = runFleetRestore(options, *args); });
}

}  // namespace

void addFleetCommands(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    CLI::App* fleet = app.add_subcommand(
        "fleet",
        "Many controllers at once, named by a plant file: backup, check, restore, history, diff");
    fleet->require_subcommand(1);
    addBackup(*fleet, exitCode);
    addCheck(*fleet, exitCode);
    addRestore(*fleet, options, exitCode);
    addFleetHistoryCommands(*fleet, exitCode);
}

}  // namespace qavix::cli
