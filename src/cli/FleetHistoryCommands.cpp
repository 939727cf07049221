#include "FleetHistoryCommands.h"

#include <ctime>
#include <iostream>
#include <memory>

#include "ExitCodes.h"
#include "FleetBackup.h"
#include "FleetRun.h"
#include "FleetRunFiles.h"
#include "Translate.h"
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
        std::cerr << i18n::fill(QX_("%1: コントローラ \"%2\" がありません"), {path, name}) << '\n';
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
        std::cerr << i18n::fill(QX_("--since %1: YYYY-MM-DD または YYYY-MM-DDTHH:MM[:SS] の形で"
                                    "指定してください"),
                                {args.since})
                  << '\n';
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
        error = i18n::fill(QX_("%1: コミットされたバックアップがまだありません"), {repo.path()});
    }
    const auto files =
        id && !id->empty() ? history::controllerFilesAt(repo, *id, name, error) : std::nullopt;
    if (!files) {
        std::cerr << "git: " << error << '\n';
        return kExitFileError;
    }
    if (files->empty()) {
        std::cerr << i18n::fill(QX_("git: %2 に %1 のファイルがありません"),
                                {name, id->substr(0, kShortId)})
                  << '\n';
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
        QX_("コントローラ NAME（または全コントローラ）の設定が変わったバックアップリポジトリの"
            "版を、変わった項目と共に新しい順に表示する"));
    cmd->add_option("PLANT", args->plant, QX_("プラントファイル（docs/plant.md 参照）"))
        ->required();
    cmd->add_option("NAME", args->name, QX_("このコントローラだけ"));
    cmd->add_option("--git", args->git, QX_("`fleet backup --git` が記録するリポジトリ"))
        ->required();
    cmd->add_option("--since", args->since, QX_("DATE 以降の版だけ（YYYY-MM-DD[THH:MM]）"));
    cmd->add_flag("--json", args->json, QX_("行の代わりに1つの JSON ドキュメントを表示する"));
    cmd->callback([args, &exitCode] { exitCode = runHistory(*args); });
}

void addDiff(CLI::App& fleet, int& exitCode) {
    auto args = std::make_shared<DiffArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "diff",
        QX_("記録された2つの版の間、または1つの版（既定: 最後の版）と現在のコントローラの間で"
            "違うコントローラ NAME の設定を表示する。終了コード 0 同じ、1 違う、2 リポジトリか版を"
            "読めない、3 コントローラを読めない"));
    cmd->add_option("PLANT", args->plant, QX_("プラントファイル（docs/plant.md 参照）"))
        ->required();
    cmd->add_option("NAME", args->name, QX_("コントローラ（PLANT のセクション名）"))->required();
    cmd->add_option("REV", args->revisions,
                    QX_("記録された版（コミット ID、HEAD~1、タグ）。2つ目を指定すると現在の"
                        "コントローラの代わりにそれと比べる"))
        ->expected(0, 2);
    cmd->add_option("--git", args->git, QX_("`fleet backup --git` が記録するリポジトリ"))
        ->required();
    cmd->callback([args, &exitCode] { exitCode = runDiff(*args); });
}

}  // namespace

void addFleetHistoryCommands(CLI::App& fleet, int& exitCode) {
    addHistory(fleet, exitCode);
    addDiff(fleet, exitCode);
}

}  // namespace qavix::cli
