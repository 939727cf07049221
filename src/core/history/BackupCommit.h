#pragma once
// One backup run as a version of the repository: which controllers changed a setting since
// the last version and how, which files the new version replaces, and its message. A run
// in which no setting changed makes no version; a controller that failed keeps the files
// it had.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/GitRepository.h"
#include "history/SettingChanges.h"

namespace qavix::history {

constexpr const char* kRunManifestFile = "manifest.json";

// One controller as the run left it: its files when it was saved, else why not.
struct RunController {
    std::string name;
    bool saved = false;
    std::string reason;
    ControllerFiles files;
};

enum class ControllerState { Unchanged, Changed, New, Failed };

struct ControllerOutcome {
    std::string name;
    ControllerState state = ControllerState::Unchanged;
    std::vector<SettingChange> changes;  // Changed only
    std::string reason;                  // Failed only
    ControllerFiles stored;              // its files in the new version (the last good ones)
};

struct RunPlan {
    std::vector<ControllerOutcome> controllers;
    std::vector<FileUpdate> updates;  // controllers' files only; the manifest is added last

    bool changed() const { return !updates.empty(); }
    size_t count(ControllerState state) const;
};

// `stored(name)` gives the controller's files in the last version (none for a new one), or
// nothing with `error` when the repository cannot be read.
using StoredFiles =
    std::function<std::optional<ControllerFiles>(const std::string& name, std::string& error)>;
std::optional<RunPlan> planRun(const std::vector<RunController>& run, const StoredFiles& stored,
                               std::string& error);

// "qavix fleet backup: 1 changed, 0 new, 1 failed, 1 unchanged", a blank line, then a line per
// changed field ("line-7: CONTROLLER.AXIS_TH1_1 beam 12: 45 -> 50"), per new controller and
// per failure with its reason.
std::string commitMessage(const RunPlan& plan);

}  // namespace qavix::history
