#include "history/HistoryLog.h"

namespace qavix::history {

std::optional<ControllerFiles> controllerFilesAt(const GitRepository& repo,
                                                 const std::string& commitId,
                                                 const std::string& name, std::string& error) {
    if (commitId.empty()) {
        return ControllerFiles{};
    }
    return repo.folderFiles(commitId, name, error);
}

std::optional<std::vector<HistoryEntry>> readHistory(const GitRepository& repo,
                                                     const std::string& name, int64_t since,
                                                     std::string& error) {
    const std::optional<std::vector<CommitInfo>> commits = repo.log(error);
    if (!commits) {
        return std::nullopt;
    }
    std::vector<HistoryEntry> entries;
    for (const CommitInfo& commit : *commits) {
        if (since > 0 && commit.time < since) {
            break;  // first parents only, so every older one is older still
        }
        const auto folders = repo.changedFolders(commit.id, commit.parentId, error);
        if (!folders) {
            return std::nullopt;
        }
        HistoryEntry entry{commit, {}};
        for (const std::string& folder : *folders) {
            if (!name.empty() && folder != name) {
                continue;
            }
            const auto before = controllerFilesAt(repo, commit.parentId, folder, error);
            const auto after =
                before ? controllerFilesAt(repo, commit.id, folder, error) : std::nullopt;
            if (!after) {
                return std::nullopt;
            }
            std::vector<SettingChange> changes = compareControllerFiles(*before, *after);
            if (!changes.empty()) {
                entry.controllers.push_back({folder, std::move(changes)});
            }
        }
        if (!entry.controllers.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

}  // namespace qavix::history
