#include "FleetBackupFollowUp.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>

#include "BankLoading.h"
#include "ExitCodes.h"
#include "FleetRunFiles.h"
#include "Translate.h"
#include "files/FileIo.h"
#include "files/Fingerprint.h"
#include "files/Json.h"
#include "files/Sha256.h"
#include "fleet/DriftCheck.h"
#include "history/BackupCommit.h"
#include "history/BackupMetrics.h"
#include "history/GitRepository.h"
#include "history/HistoryLog.h"
#include "history/HookProcess.h"

namespace qavix::cli {

namespace {

constexpr const char* kAuthorName = "qavix fleet backup";
constexpr const char* kCurrentFile = "current.qbk";

// "current.qbk" is set 0, "bank3.qbk" set 3; -1 for another file.
int setOfFile(const std::string& file) {
    for (int set = 0; set <= kBankCount; ++set) {
        if (file == fleet::backupFileName(set)) {
            return set;
        }
    }
    return -1;
}

// user@host of the process, the committer a reader of the log can find again.
std::string userAtHost() {
    std::string user = "unknown";
    if (const passwd* pw = getpwuid(geteuid()); pw != nullptr && pw->pw_name != nullptr) {
        user = pw->pw_name;
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        host[0] = '\0';
    }
    return user + "@" + (host[0] != '\0' ? host : "localhost");
}

// The run's manifest with each controller's files as the new version holds them: an
// unchanged or failed controller keeps its earlier files there, and the manifest must not
// promise checksums of files that were not committed.
fleet::Manifest storedManifest(const fleet::Manifest& run, const history::RunPlan& plan) {
    fleet::Manifest stored = run;
    for (fleet::ControllerRecord& record : stored.controllers) {
        const auto outcome = std::find_if(
            plan.controllers.begin(), plan.controllers.end(),
            [&](const history::ControllerOutcome& o) { return o.name == record.name; });
        if (outcome == plan.controllers.end()) {
            continue;
        }
        record.files.clear();
        for (const auto& [file, bytes] : outcome->stored) {
            const int set = setOfFile(file);
            if (set >= 0) {
                record.files.push_back({set, record.name + "/" + file, sha256Hex(bytes),
                                        static_cast<uint64_t>(bytes.size()),
                                        bankFileFingerprint(bytes)});
            }
        }
        std::sort(
            record.files.begin(), record.files.end(),
            [](const fleet::BackupFile& a, const fleet::BackupFile& b) { return a.set < b.set; });
    }
    return stored;
}

const char* stateText(history::ControllerState state) {
    switch (state) {
        case history::ControllerState::Changed:
            return "changed";
        case history::ControllerState::New:
            return "new";
        case history::ControllerState::Failed:
            return "failed";
        case history::ControllerState::Unchanged:
            break;
    }
    return "unchanged";
}

struct HookCall {
    std::string controller;
    std::string result;  // "changed" or "failed"
    std::string reason;
    std::vector<history::SettingChange> changes;
};

std::string hookInput(const HookCall& call, const std::string& plant, const std::string& commit) {
    json::Value doc = json::Value::object();
    doc.set("plant", plant);
    doc.set("controller", call.controller);
    doc.set("result", call.result);
    doc.set("commit", commit);
    if (!call.reason.empty()) {
        doc.set("reason", call.reason);
    }
    json::Value& changes = doc.set("changes", json::Value::array());
    for (const history::SettingChange& c : call.changes) {
        json::Value item = history::changeJson(c);
        item.set("text", history::describeChange(c));
        changes.push(std::move(item));
    }
    return json::write(doc);
}

}  // namespace

struct BackupFollowUp::Recorded {
    history::RunPlan plan;
    std::string commit;  // the new version's id; empty when nothing changed
};

std::string followUpProblem(const BackupFollowUpOptions& options) {
    if (options.git.empty() && !options.onChange.empty()) {
        return QX_("--on-change には --git が必要です: 変更とは前回の版との違いです");
    }
    if (options.git.empty() && !options.push.empty()) {
        return QX_("--push には --git が必要です");
    }
    if (!(options.hookTimeout > 0)) {
        return QX_("--hook-timeout には 0 秒より大きい値を指定してください");
    }
    return {};
}

BackupFollowUp::BackupFollowUp(const BackupFollowUpOptions& options, std::string plantPath,
                               bool quiet)
    : m_options(options), m_plantPath(std::move(plantPath)), m_quiet(quiet) {}

BackupFollowUp::~BackupFollowUp() = default;

bool BackupFollowUp::prepare(bool keepsFolder) {
    if (!m_options.metrics.empty()) {
        const fileio::WriteResult target = fileio::checkWriteTarget(m_options.metrics);
        if (!target.ok) {
            std::cerr << "--metrics: " << target.error << '\n';
            return false;
        }
    }
    if (m_options.git.empty()) {
        return true;
    }
    m_repo = history::GitRepository::openOrCreate(m_options.git, m_repoError);
    if (m_repo) {
        m_repoError = m_repo->lockProblem();
        if (!m_repoError.empty()) {
            m_repo.reset();
        }
    }
    if (m_repo) {
        return true;
    }
    std::cerr << i18n::fill(QX_("git: %1"), {m_repoError}) << '\n';
    if (keepsFolder) {
        std::cerr << QX_("git: バックアップは日時のフォルダにだけ続けます") << '\n';
    }
    return keepsFolder;
}

bool BackupFollowUp::record(const fleet::Manifest& manifest, const std::string& runFolder,
                            Recorded& out) {
    std::vector<history::RunController> run;
    for (const fleet::ControllerRecord& r : manifest.controllers) {
        history::RunController c;
        c.name = r.name;
        c.saved = r.result == fleet::BackupResult::Ok;
        c.reason = r.reason.empty() ? fleet::resultText(r.result) : r.reason;
        if (c.saved) {
            std::string error;
            const auto files = controllerFiles(r, runFolder, error);
            if (!files) {
                c.saved = false;
                c.reason = error;
            } else {
                c.files = *files;
            }
        }
        run.push_back(std::move(c));
    }
    std::string error;
    const std::optional<std::string> head = m_repo->head(error);
    std::optional<history::RunPlan> plan;
    if (head) {
        plan = history::planRun(
            run,
            [&](const std::string& name, std::string& why) {
                return history::controllerFilesAt(*m_repo, *head, name, why);
            },
            error);
    }
    if (!plan) {
        std::cerr << "git: " << error << '\n';
        return false;
    }
    out.plan = std::move(*plan);
    const history::RunPlan& p = out.plan;
    if (!p.changed()) {
        if (!m_quiet) {
            std::cout << i18n::fill(QX_("git %1: 変わった設定はありません。コミットしません"),
                                    {m_options.git})
                      << '\n';
        }
        return true;
    }
    std::vector<history::FileUpdate> updates = p.updates;
    updates.push_back(
        {history::kRunManifestFile, fleet::manifestJson(storedManifest(manifest, p))});
    const std::optional<std::string> commit = m_repo->commit(
        updates, history::commitMessage(p), history::Signature{kAuthorName, userAtHost()}, error);
    if (!commit) {
        std::cerr << "git: " << error << '\n';
        return false;
    }
    out.commit = *commit;
    if (!m_quiet) {
        std::cout << i18n::fill(QX_("git %1: コミット %2、変更 %3、新規 %4、失敗 %5、変更なし %6"),
                                {m_options.git, commit->substr(0, 12),
                                 std::to_string(p.count(history::ControllerState::Changed)),
                                 std::to_string(p.count(history::ControllerState::New)),
                                 std::to_string(p.count(history::ControllerState::Failed)),
                                 std::to_string(p.count(history::ControllerState::Unchanged))})
                  << '\n';
    }
    return true;
}

void BackupFollowUp::runHooks(const fleet::Manifest& manifest, const Recorded& recorded) {
    std::vector<HookCall> calls;
    if (!m_options.onChange.empty() && !recorded.commit.empty()) {
        for (const history::ControllerOutcome& c : recorded.plan.controllers) {
            if (c.state == history::ControllerState::Changed) {
                calls.push_back({c.name, stateText(c.state), {}, c.changes});
            }
        }
    }
    if (!m_options.onFailure.empty()) {
        // A controller the user's Ctrl+C stopped or kept from starting did not fail.
        for (const fleet::ControllerRecord& r : manifest.controllers) {
            if (r.result == fleet::BackupResult::Failed) {
                calls.push_back({r.name, "failed", r.reason, {}});
            }
        }
    }
    const auto timeout =
        std::chrono::milliseconds(static_cast<long long>(m_options.hookTimeout * 1000));
    for (const HookCall& call : calls) {
        const bool change = call.result != "failed";
        const std::vector<std::string>& command = change ? m_options.onChange : m_options.onFailure;
        const history::HookRun run =
            history::runHook(command,
                             {{"QAVIX_CONTROLLER", call.controller},
                              {"QAVIX_RESULT", call.result},
                              {"QAVIX_COMMIT", recorded.commit},
                              {"QAVIX_PLANT", m_plantPath}},
                             hookInput(call, m_plantPath, recorded.commit), timeout);
        if (!run.ok() || !m_quiet) {
            (run.ok() ? std::cout : std::cerr)
                << i18n::fill(QX_("%2 のフック %1: %3"),
                              {change ? "--on-change" : "--on-failure", call.controller,
                               history::describeHookRun(run, timeout)})
                << '\n';
        }
    }
}

bool BackupFollowUp::push() {
    if (m_options.push.empty() || !m_repo) {
        return m_options.push.empty();
    }
    std::string error;
    const std::optional<std::string> head = m_repo->head(error);
    if (head && head->empty()) {
        return true;  // nothing committed yet, nothing to push
    }
    if (!head || !m_repo->push(m_options.push, error)) {
        std::cerr << i18n::fill(QX_("git: %1。次の実行で再試行します"), {error}) << '\n';
        return false;
    }
    if (!m_quiet) {
        std::cout << i18n::fill(QX_("git %1: %2 へ push しました"), {m_options.git, m_options.push})
                  << '\n';
    }
    return true;
}

bool BackupFollowUp::writeMetrics(const fleet::Plant& plant, const fleet::Manifest& manifest,
                                  const std::string& runFolder) {
    const fileio::ReadResult previous = fileio::readFile(m_options.metrics);
    const std::map<std::string, double> times =
        previous.ok() ? history::lastSuccessTimes(previous.bytes) : std::map<std::string, double>{};
    const double now =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    std::vector<history::ControllerMetrics> metrics;
    for (const fleet::ControllerRecord& r : manifest.controllers) {
        history::ControllerMetrics m;
        m.name = r.name;
        m.success = r.result == fleet::BackupResult::Ok;
        if (m.success) {
            m.lastSuccess = now;
        } else if (const auto t = times.find(r.name); t != times.end()) {
            m.lastSuccess = t->second;
        }
        const fleet::PlantController* c = plant.find(r.name);
        if (m.success && c != nullptr && !c->golden.empty()) {
            const LoadedSet golden = loadBankFile(c->golden);
            const LoadedSet live =
                loadBankFile((std::filesystem::path(runFolder) / r.name / kCurrentFile).string());
            if (golden.exitCode == kExitOk && live.exitCode == kExitOk) {
                m.drift = !fleet::compareWithGolden(golden.set, live.set).same();
            }
        }
        metrics.push_back(std::move(m));
    }
    const fileio::WriteResult written =
        fileio::writeFileAtomic(m_options.metrics, history::metricsText(metrics));
    if (!written.ok) {
        std::cerr << "--metrics: " << written.error << '\n';
    }
    return written.ok;
}

int BackupFollowUp::finish(const fleet::Plant& plant, const fleet::Manifest& manifest,
                           const std::string& runFolder, int backupExit) {
    int code = backupExit;
    Recorded recorded;
    if (!m_options.git.empty() && (!m_repo || !record(manifest, runFolder, recorded))) {
        if (!m_repo) {
            std::cerr << i18n::fill(QX_("git: %1。リポジトリには何も記録されていません"),
                                    {m_repoError})
                      << '\n';
        }
        code = std::max(code, kExitFileError);
    }
    runHooks(manifest, recorded);
    if (!push()) {
        code = std::max(code, kExitFailed);
    }
    if (!m_options.metrics.empty() && !writeMetrics(plant, manifest, runFolder)) {
        code = std::max(code, kExitFileError);
    }
    return code;
}

}  // namespace qavix::cli
