#pragma once
// Reading the backup repository back: the versions in which a controller's settings changed,
// with the fields, and the difference of a controller's files between two versions. The
// changes come from the stored files (the comparison a backup made), never from the text
// of the commit messages.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/GitRepository.h"
#include "history/SettingChanges.h"

namespace qavix::history {

struct ControllerHistory {
    std::string name;
    std::vector<SettingChange> changes;
};

struct HistoryEntry {
    CommitInfo commit;
    std::vector<ControllerHistory> controllers;
};

// Newest first; only versions that changed `name` (any controller when empty) and that are
// not older than `since` (seconds since the epoch; 0 for all).
std::optional<std::vector<HistoryEntry>> readHistory(const GitRepository& repo,
                                                     const std::string& name, int64_t since,
                                                     std::string& error);

// The files of controller `name` in version `commitId`; empty when it has none there.
std::optional<ControllerFiles> controllerFilesAt(const GitRepository& repo,
                                                 const std::string& commitId,
                                                 const std::string& name, std::string& error);

}  // namespace qavix::history
