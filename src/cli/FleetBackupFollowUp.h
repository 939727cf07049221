#pragma once
// What `fleet backup` does after the controllers were read: the run recorded in the git
// repository (--git, one commit only when a setting changed), the hooks for changed and
// failed controllers, the push (--push) and the metrics file (--metrics).

#include <memory>
#include <string>
#include <vector>

#include "fleet/BackupManifest.h"
#include "fleet/PlantFile.h"

namespace qavix::history {
class GitRepository;
}

namespace qavix::cli {

constexpr double kDefaultHookTimeoutSeconds = 30;

struct BackupFollowUpOptions {
    std::string git;
    std::string push;
    std::string metrics;
    std::vector<std::string> onChange;
    std::vector<std::string> onFailure;
    double hookTimeout = kDefaultHookTimeoutSeconds;
    std::string config;
};

// Why these options cannot go together (--on-change and --push need --git), or empty.
std::string followUpProblem(const BackupFollowUpOptions& options);

class BackupFollowUp {
  public:
    BackupFollowUp(const BackupFollowUpOptions& options, std::string plantPath, bool quiet);
    ~BackupFollowUp();
    BackupFollowUp(const BackupFollowUp&) = delete;
    BackupFollowUp& operator=(const BackupFollowUp&) = delete;

    // Before any controller is read: the repository opened, or made, and free of locks. A
    // repository that cannot be used is an error that ends the run at once when there is no
    // dated folder to save into (`keepsFolder` false); otherwise the run goes on and ends
    // with that error.
    bool prepare(bool keepsFolder);

    // After the run (its manifest as finished, its files in `runFolder`): the commit, the
    // hooks, the push and the metrics. The exit code, the backup's own (`backupExit`) unless
    // a step here went worse: the repository (kExitFileError), the push or the metrics.
    int finish(const fleet::Plant& plant, const fleet::Manifest& manifest,
               const std::string& runFolder, int backupExit);

  private:
    struct Recorded;
    bool record(const fleet::Manifest& manifest, const std::string& runFolder, Recorded& out);
    void runHooks(const fleet::Manifest& manifest, const Recorded& recorded);
    bool push();
    bool writeMetrics(const fleet::Plant& plant, const fleet::Manifest& manifest,
                      const std::string& runFolder);

    BackupFollowUpOptions m_options;
    std::string m_plantPath;
    bool m_quiet;
    std::unique_ptr<history::GitRepository> m_repo;
    std::string m_repoError;
};

}  // namespace qavix::cli
