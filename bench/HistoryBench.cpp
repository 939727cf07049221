// Committing a backup run of a large plant into its git repository: 100 controllers, each
// with its current values, four banks and its identity (synthetic bank files as `bank
// export` writes them), into a repository that holds the run before.
//
//   HistoryCommit/AllChanged   every controller changed one threshold since the last
//                              version: the comparison of 500 bank files field by field,
//                              500 new files and the commit with its working tree
//                              (target: under 1 s)
//   HistoryCommit/NoneChanged  nothing changed: the comparison alone, no commit
//
// Each iteration is one whole run after the manifest: read the last version's files, plan,
// write, commit, update the index and the working tree.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "files/BankFile.h"
#include "history/BackupCommit.h"
#include "history/GitRepository.h"
#include "history/HistoryLog.h"

namespace {

namespace fs = std::filesystem;
using namespace qavix;

constexpr int kControllers = 100;

SettingsData syntheticSet(int controller, int generation) {
    SettingsData s;
    s.general.type = "QX-AS100  CONTROLLER";
    s.general.versionText = "VER01.20";
    s.general.jointNum = 3;
    for (int n = 0; n < kChannelCount; ++n) {
        ChannelRecord& c = s.channel(n);
        c.beamCount = kMaxBeams;
        c.onTh = 40 + n;
        c.offTh = 30 + n;
        for (int i = 0; i < kMaxBeams; ++i) {
            c.axisTh[static_cast<size_t>(i)] = 40 + (i + controller) % 40;
            c.zero[static_cast<size_t>(i)] = 100 + n;
        }
    }
    s.channel(0).axisTh[static_cast<size_t>(controller % kMaxBeams)] = 20 + generation % 60;
    return s;
}

history::ControllerFiles controllerFiles(int controller, int generation) {
    std::tm when{};
    when.tm_year = 126;
    when.tm_mday = 1 + generation % 28;
    history::ControllerFiles files;
    for (int set = 0; set <= kBankCount; ++set) {
        const std::string name = set == 0 ? "current.qbk" : "bank" + std::to_string(set) + ".qbk";
        files[name] = bankfile::formatBankFile(syntheticSet(controller, set == 0 ? generation : 0),
                                               "2.10", "", when)
                          .text;
    }
    files[history::kIdentityFile] =
        "{\n  \"serial\": \"" + std::to_string(3000000 + controller) + "\"\n}\n";
    return files;
}

std::vector<history::RunController> run(int generation) {
    std::vector<history::RunController> controllers;
    for (int c = 0; c < kControllers; ++c) {
        controllers.push_back(
            {"line-" + std::to_string(c), true, {}, controllerFiles(c, generation)});
    }
    return controllers;
}

// Plans and commits one run; false when the repository refused it.
bool commitRun(history::GitRepository& repo,
               const std::vector<history::RunController>& controllers) {
    std::string error;
    const auto head = repo.head(error);
    if (!head) {
        return false;
    }
    const auto plan = history::planRun(
        controllers,
        [&](const std::string& name, std::string& why) {
            return history::controllerFilesAt(repo, *head, name, why);
        },
        error);
    if (!plan) {
        return false;
    }
    if (!plan->changed()) {
        return true;
    }
    std::vector<history::FileUpdate> updates = plan->updates;
    updates.push_back(
        {history::kRunManifestFile, "{\"run\": " + std::to_string(std::rand()) + "}\n"});
    return repo.commit(updates, history::commitMessage(*plan), {"bench", "bench@host"}, error)
        .has_value();
}

void HistoryCommit(benchmark::State& state, bool allChanged) {
    std::string pattern = (fs::temp_directory_path() / "qavix-history-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string error;
    auto repo = history::GitRepository::openOrCreate(pattern + "/repo", error);
    int generation = 1;
    if (!repo || !commitRun(*repo, run(generation))) {
        state.SkipWithError(error.c_str());
    } else {
        for (auto _ : state) {
            state.PauseTiming();
            if (allChanged) {
                ++generation;
            }
            const std::vector<history::RunController> next = run(generation);
            state.ResumeTiming();
            if (!commitRun(*repo, next)) {
                state.SkipWithError("commit failed");
                break;
            }
        }
    }
    repo.reset();
    fs::remove_all(pattern);
}

}  // namespace

BENCHMARK_CAPTURE(HistoryCommit, AllChanged, true)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_CAPTURE(HistoryCommit, NoneChanged, false)->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK_MAIN();
