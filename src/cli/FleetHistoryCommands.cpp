#include "FleetHistoryCommands.h"

#include <ctime>
#include <iostream>
#include <memory>

#include "ExitCodes.h"
#include "FleetBackup.h"
#include "FleetRun.h"
#include "FleetRunFiles.h"
#include "files/IsoTime.h"
#include "files/Json.h"
#include "history/GitRepository.h"
#include "history/HistoryLog.h"

namespace qavix::cli {

namespace {

constexpr size_t kShortId = 12;

struct HistoryArgs {
    std::string plant;
    std::string name;
    std::string git;
    std::string since;
    bool json = false;
};

struct DiffArgs {
    std::string plant;
    std::string name;
    std::vector<std::string> revisions;
    std::string git;
};

// "2026-12-07" (midnight) or "2026-12-07T14:30[:00]" in local time; 0 when it is neither.
int64_t parseSince(const std::string& text) {
    for (const char* format : {"%Y-%m-%dT%H:%M:%S", "%Y-%m-%dT%H:%M", "%Y-%m-%d"}) {
        std::tm tm{};
        const char* end = strptime(text.c_str(), format, &tm);
        if (end != nullptr && *end == '\0') {
            tm.tm_isdst = -1;
            const std::time_t t = std::mktime(&tm);
            return t == static_cast<std::time_t>(-1) ? 0 : static_cast<int64_t>(t);
        }
    }
    return 0;
}

std::string commitTime(int64_t seconds) {
    return isoLocalTime(static_cast<std::time_t>(seconds));
}

// The plant file, and NAME in it when given. kExitOk or the exit code after a message.
int checkPlantName(const std::string& path, const std::string& name, fleet::Plant& plant) {
    if (const int loaded = loadPlant(path, plant); loaded != kExitOk) {
        return loaded;
    }
    if (!name.empty() && plant.find(name) == nullptr) {
        std::cerr << path << ": no controller \"" << name << "\"\n";
        return kExitUsage;
    }
    return kExitOk;
}

std::unique_ptr<history::GitRepository> openRepository(const std::string& path) {
    std::string error;
    auto repo = history::GitRepository::open(path, error);
    if (!repo) {
        std::cerr << "git: " << error << '\n';
    }
    return repo;
}

int runHistory(const HistoryArgs& args) {
    fleet::Plant plant;
    if (const int checked = checkPlantName(args.plant, args.name, plant); checked != kExitOk) {
        return checked;
    }
    const int64_t since = args.since.empty() ? 0 : parseSince(args.since);
    if (!args.since.empty() && since == 0) {
        std::cerr << "--since " << args.since << ": give YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS]\n";
        return kExitUsage;
    }
    const auto repo = openRepository(args.git);
    if (!repo) {
        return kExitFileError;
    }
    std::string error;
    const auto entries = history::readHistory(*repo, args.name, since, error);
    if (!entries) {
        std::cerr << "git: " << error << '\n';
        return kExitFileError;
    }
    if (args.json) {
        json::Value doc = json::Value::object();
        json::Value& commits = doc.set("commits", json::Value::array());
        for (const history::HistoryEntry& e : *entries) {
            json::Value& item = commits.push(json::Value::object());
            item.set("commit", e.commit.id);
            item.set("time", commitTime(e.commit.time));
            json::Value& controllers = item.set("controllers", json::Value::array());
            for (const history::ControllerHistory& c : e.controllers) {
                json::Value& controller = controllers.push(json::Value::object());
                controller.set("name", c.name);
                controller.set("changes", history::changesJson(c.changes));
            }
        }
        std::cout << json::write(doc);
        return kExitOk;
    }
    for (const history::HistoryEntry& e : *entries) {
        std::cout << commitTime(e.commit.time) << ' ' << e.commit.id.substr(0, kShortId) << '\n';
        for (const history::ControllerHistory& c : e.controllers) {
            for (const history::SettingChange& change : c.changes) {
                std::cout << "  " << c.name << ": " << history::describeChange(change) << '\n';
            }
        }
    }
    return kExitOk;
}

// The controller's files as a backup would save them now.
int liveFiles(const fleet::Plant& plant, const std::string& name, history::ControllerFiles& out) {
    std::vector<LinkSettings> links;
    const fleet::PlantController& controller = *plant.find(name);
    if (const int read = plantLinks({controller}, links); read != kExitOk) {
        return read;
    }
    ScratchFolder scratch;
    std::string error;
    const std::string folder = scratch.path(error);
    if (folder.empty()) {
        std::cerr << error << '\n';
        return kExitFileError;
    }
    const fleet::ControllerRecord record = backUpController(controller, links[0], folder);
    if (record.result != fleet::BackupResult::Ok) {
        std::cerr << name << ": " << record.reason << '\n';
        return kExitConnection;
    }
    const auto files = controllerFiles(record, folder, error);
    if (!files) {
        std::cerr << error << '\n';
        return kExitFileError;
    }
    out = *files;
    return kExitOk;
}

int storedFiles(const history::GitRepository& repo, const std::string& revision,
                const std::string& name, history::ControllerFiles& out) {
    std::string error;
    const auto id = revision.empty() ? repo.head(error) : repo.resolve(revision, error);
    if (id && id->empty()) {
        error = repo.path() + ": no backup committed yet";
    }
    const auto files =
        id && !id->empty() ? history::controllerFilesAt(repo, *id, name, error) : std::nullopt;
    if (!files) {
        std::cerr << "git: " << error << '\n';
        return kExitFileError;
    }
    if (files->empty()) {
        std::cerr << "git: " << name << " has no files in " << id->substr(0, kShortId) << '\n';
        return kExitFileError;
    }
    out = *files;
    return kExitOk;
}

int runDiff(const DiffArgs& args) {
    fleet::Plant plant;
    if (const int checked = checkPlantName(args.plant, args.name, plant); checked != kExitOk) {
        return checked;
    }
    const auto repo = openRepository(args.git);
    if (!repo) {
        return kExitFileError;
    }
    history::ControllerFiles before;
    history::ControllerFiles after;
    const std::string first = args.revisions.empty() ? std::string() : args.revisions[0];
    int read = storedFiles(*repo, first, args.name, before);
    if (read == kExitOk) {
        read = args.revisions.size() == 2 ? storedFiles(*repo, args.revisions[1], args.name, after)
                                          : liveFiles(plant, args.name, after);
    }
    if (read != kExitOk) {
        return read;
    }
    const std::vector<history::SettingChange> changes =
        history::compareControllerFiles(before, after);
    for (const history::SettingChange& c : changes) {
        std::cout << history::describeChange(c) << '\n';
    }
    return changes.empty() ? kExitOk : kExitFailed;
}

void addHistory(CLI::App& fleet, int& exitCode) {
    auto args = std::make_shared<HistoryArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "history",
        "List the versions of the backup repository in which a setting of controller NAME (or "
        "of any) changed, with the fields, newest first");
    cmd->add_option("PLANT", args->plant, "plant file (see docs/plant.md)")->required();
    cmd->add_option("NAME", args->name, "only this controller");
    cmd->add_option("--git", args->git, "the repository `fleet backup --git` records in")
        ->required();
    cmd->add_option("--since", args->since, "only versions from DATE on (YYYY-MM-DD[THH:MM])");
    cmd->add_flag("--json", args->json, "print one JSON document instead of lines");
    cmd->callback([args, &exitCode] { exitCode = runHistory(*args); });
}

void addDiff(CLI::App& fleet, int& exitCode) {
    auto args = std::make_shared<DiffArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "diff",
        "Print each setting of controller NAME that differs between two stored versions, or "
        "between one (default: the last) and the live controller. Exit 0 same, 1 differ, 2 the "
        "repository or a version cannot be read, 3 the controller cannot be read");
    cmd->add_option("PLANT", args->plant, "plant file (see docs/plant.md)")->required();
    cmd->add_option("NAME", args->name, "the controller, as its section in PLANT")->required();
    cmd->add_option("REV", args->revisions,
                    "a stored version (commit id, HEAD~1, a tag); a second one to compare with "
                    "instead of the live controller")
        ->expected(0, 2);
    cmd->add_option("--git", args->git, "the repository `fleet backup --git` records in")
        ->required();
    cmd->callback([args, &exitCode] { exitCode = runDiff(*args); });
}

}  // namespace

void addFleetHistoryCommands(CLI::App& fleet, int& exitCode) {
    addHistory(fleet, exitCode);
    addDiff(fleet, exitCode);
}

}  // namespace qavix::cli
