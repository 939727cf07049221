#include "history/BackupCommit.h"

#include <algorithm>

namespace qavix::history {

namespace {

bool fileChanged(const std::vector<SettingChange>& changes, const std::string& file) {
    return std::any_of(changes.begin(), changes.end(),
                       [&](const SettingChange& c) { return c.file == file; });
}

std::string oneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        line += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return line;
}

ControllerOutcome planController(const RunController& c, const ControllerFiles& before,
                                 std::vector<FileUpdate>& updates) {
    ControllerOutcome outcome;
    outcome.name = c.name;
    outcome.stored = before;
    if (!c.saved) {
        outcome.state = ControllerState::Failed;
        outcome.reason = c.reason;
        return outcome;
    }
    outcome.changes = compareControllerFiles(before, c.files);
    if (outcome.changes.empty()) {
        return outcome;
    }
    outcome.state = before.empty() ? ControllerState::New : ControllerState::Changed;
    // Only the files whose settings changed are replaced: an unchanged bank keeps the file
    // (and the date in it) of the version that first held it.
    for (const auto& [file, bytes] : c.files) {
        if (fileChanged(outcome.changes, file)) {
            updates.push_back({c.name + "/" + file, bytes});
            outcome.stored[file] = bytes;
        }
    }
    for (const auto& [file, bytes] : before) {
        if (c.files.count(file) == 0) {
            updates.push_back({c.name + "/" + file, std::nullopt});
            outcome.stored.erase(file);
        }
    }
    return outcome;
}

}  // namespace

size_t RunPlan::count(ControllerState state) const {
    return static_cast<size_t>(
        std::count_if(controllers.begin(), controllers.end(),
                      [&](const ControllerOutcome& c) { return c.state == state; }));
}

std::optional<RunPlan> planRun(const std::vector<RunController>& run, const StoredFiles& stored,
                               std::string& error) {
    RunPlan plan;
    for (const RunController& c : run) {
        const std::optional<ControllerFiles> before = stored(c.name, error);
        if (!before) {
            return std::nullopt;
        }
        plan.controllers.push_back(planController(c, *before, plan.updates));
    }
    return plan;
}

std::string commitMessage(const RunPlan& plan) {
    std::string text =
        "qavix fleet backup: " + std::to_string(plan.count(ControllerState::Changed)) +
        " changed, " + std::to_string(plan.count(ControllerState::New)) + " new, " +
        std::to_string(plan.count(ControllerState::Failed)) + " failed, " +
        std::to_string(plan.count(ControllerState::Unchanged)) + " unchanged\n\n";
    for (const ControllerOutcome& c : plan.controllers) {
        if (c.state == ControllerState::Changed) {
            for (const SettingChange& change : c.changes) {
                text += c.name + ": " + describeChange(change) + "\n";
            }
        } else if (c.state == ControllerState::New) {
            std::string files;
            for (const auto& [file, bytes] : c.stored) {
                files += (files.empty() ? "" : ", ") + file;
            }
            text += c.name + ": first backup (" + files + ")\n";
        }
    }
    for (const ControllerOutcome& c : plan.controllers) {
        if (c.state == ControllerState::Failed) {
            text += c.name + ": failed: " + oneLine(c.reason) + "\n";
        }
    }
    return text;
}

}  // namespace qavix::history
