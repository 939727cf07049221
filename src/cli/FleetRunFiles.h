#pragma once
// A backup run's files as the history takes them: one controller's files by name (its bank
// files as written and its identity as JSON), and a scratch folder for a run that keeps no
// dated folder of its own.

#include <optional>
#include <string>

#include "fleet/BackupManifest.h"
#include "history/SettingChanges.h"

namespace qavix::cli {

// The files `record` lists, read back from `runFolder`, and identity.json. Nothing, with the
// reason, when one cannot be read.
std::optional<history::ControllerFiles> controllerFiles(const fleet::ControllerRecord& record,
                                                        const std::string& runFolder,
                                                        std::string& error);

// A folder of its own under TMPDIR, removed with everything in it when this goes.
class ScratchFolder {
  public:
    ScratchFolder() = default;
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Made on first use; empty, with the reason, when it cannot be.
    const std::string& path(std::string& error);

  private:
    std::string m_path;
};

}  // namespace qavix::cli
