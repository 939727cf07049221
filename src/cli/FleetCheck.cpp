#include "FleetCheck.h"

#include <iostream>

#include "BankLoading.h"
#include "DeviceSession.h"
#include "ExitCodes.h"
#include "FleetProgress.h"
#include "FleetRun.h"
#include "Translate.h"
#include "files/Fingerprint.h"
#include "files/Json.h"
#include "fleet/DriftCheck.h"

namespace qavix::cli {

namespace {

enum class Verdict { Same, Differs, Failed, NotStarted };

// As the JSON report names them, and as a person reads them in the lines.
constexpr const char* kVerdictTexts[] = {"same", "differs", "failed", "not started"};
constexpr const char* kVerdictLabels[] = {N_("同じ"), N_("違う"), N_("失敗"), N_("未開始")};

struct CheckResult {
    Verdict verdict = Verdict::NotStarted;
    std::string reason;  // why it differs without a field list, or why it failed
    int exitCode = kExitOk;
    std::vector<fleet::FieldChange> changes;
    // Of the golden file and of the current values; the same exactly when no field differs.
    Fingerprint golden;
    Fingerprint live;
};

// An unreachable controller outweighs a golden file that cannot be read, which outweighs a
// difference: the worst a script must act on decides the exit code.
int severity(int exitCode) {
    switch (exitCode) {
        case kExitConnection:
            return 3;
        case kExitFileError:
            return 2;
        case kExitFailed:
            return 1;
        default:
            return 0;
    }
}

CheckResult failed(int exitCode, std::string reason) {
    CheckResult r;
    r.verdict = Verdict::Failed;
    r.exitCode = exitCode;
    r.reason = std::move(reason);
    return r;
}

// The golden file is read first: a controller is not disturbed for a check that cannot be
// made.
CheckResult check(const fleet::PlantController& c, const LinkSettings& link) {
    const LoadedSet golden = loadBankFile(c.golden);
    if (golden.exitCode != kExitOk) {
        return failed(kExitFileError, "golden file " + c.golden + ": " + oneLine({golden.message}));
    }
    DeviceSession session(DeviceOptions{}, SessionSetup{link, true, true, {}});
    const int connected = session.connect();
    if (connected != kExitOk || session.transactions().readAll() != kRequestOk) {
        const std::string messages = oneLine(session.host().keptMessages());
        return failed(kExitConnection,
                      messages.empty() ? "the current values could not be read" : messages);
    }
    const fleet::DriftResult drift =
        fleet::compareWithGolden(golden.set, session.model().working());
    CheckResult r;
    r.verdict = drift.same() ? Verdict::Same : Verdict::Differs;
    r.reason = drift.mismatch;
    r.changes = drift.changes;
    r.golden = settingsFingerprint(golden.set);
    r.live = settingsFingerprint(session.model().working());
    return r;
}

std::string describe(const std::string& name, const CheckResult& r) {
    std::string text = name + ": " + i18n::translate(kVerdictLabels[static_cast<int>(r.verdict)]);
    if (!r.reason.empty()) {
        text += ": " + r.reason;
    }
    if (r.live.known()) {
        text += "\n  " + i18n::fill(QX_("フィンガープリント: ゴールデン %1、現在 %2"),
                                    {r.golden.shortForm(), r.live.shortForm()});
    }
    for (const fleet::FieldChange& change : r.changes) {
        text += "\n  " + change.field + ": " + change.golden + " -> " + change.live;
    }
    return text;
}

std::string uncomparedNote() {
    std::string list;
    for (const std::string& item : fleet::kUncomparedIdentity) {
        list += (list.empty() ? "" : ", ") + item;
    }
    return list;
}

json::Value report(const std::vector<fleet::PlantController>& controllers,
                   const std::vector<CheckResult>& results, bool interrupted) {
    json::Value doc = json::Value::object();
    json::Value& items = doc.set("controllers", json::Value::array());
    int counts[4] = {};
    for (size_t i = 0; i < controllers.size(); ++i) {
        const CheckResult& r = results[i];
        ++counts[static_cast<int>(r.verdict)];
        json::Value& item = items.push(json::Value::object());
        item.set("name", controllers[i].name);
        item.set("port", controllers[i].port);
        item.set("unit", controllers[i].unit);
        item.set("golden", controllers[i].golden);
        item.set("result", kVerdictTexts[static_cast<int>(r.verdict)]);
        if (!r.reason.empty()) {
            item.set("reason", r.reason);
        }
        if (r.live.known()) {
            json::Value& fingerprint = item.set("fingerprint", json::Value::object());
            fingerprint.set("golden", fingerprintJson(r.golden));
            fingerprint.set("live", fingerprintJson(r.live));
        }
        json::Value& changes = item.set("changes", json::Value::array());
        for (const fleet::FieldChange& change : r.changes) {
            json::Value& c = changes.push(json::Value::object());
            c.set("field", change.field);
            c.set("golden", change.golden);
            c.set("live", change.live);
        }
    }
    json::Value& summary = doc.set("summary", json::Value::object());
    for (int v = 0; v < 4; ++v) {
        summary.set(kVerdictTexts[v], counts[v]);
    }
    json::Value& left = doc.set("notCompared", json::Value::array());
    for (const std::string& item : fleet::kUncomparedIdentity) {
        left.push(item);
    }
    doc.set("interrupted", interrupted);
    json::Value& unchecked = doc.set("notChecked", json::Value::array());
    for (size_t i = 0; i < controllers.size(); ++i) {
        if (results[i].verdict == Verdict::NotStarted) {
            unchecked.push(controllers[i].name);
        }
    }
    return doc;
}

}  // namespace

int runFleetCheck(const FleetCheckArgs& args) {
    fleet::Plant plant;
    if (const int loaded = loadPlant(args.plant, plant); loaded != kExitOk) {
        return loaded;
    }
    std::vector<fleet::PlantController> checked;
    for (const fleet::PlantController& c : plant.controllers) {
        if (!c.golden.empty()) {
            checked.push_back(c);
        }
    }
    if (checked.empty()) {
        std::cerr << i18n::fill(QX_("%1: ゴールデンファイルのあるコントローラがありません"),
                                {args.plant})
                  << '\n';
        return kExitFileError;
    }
    std::vector<LinkSettings> links;
    if (const int read = plantLinks(checked, links); read != kExitOk) {
        return read;
    }
    FleetProgress progress(checked.size(), ProgressOptions{args.quiet, !args.json});
    std::vector<CheckResult> results(checked.size());
    const FleetRunResult run =
        runOnLines(checked, args.jobs, progress, [&](size_t i, const std::atomic<bool>&) {
            progress.started(checked[i].name);
            CheckResult r = check(checked[i], links[i]);
            progress.finished(checked[i].name, describe(checked[i].name, r),
                              r.verdict != Verdict::Same);
            results[i] = std::move(r);
        });
    for (size_t i : run.notStarted) {
        results[i].verdict = Verdict::NotStarted;
        results[i].reason = "interrupted before it was checked";
    }
    progress.close();

    // A controller never checked is no difference: an interrupted run says so by its own
    // exit code, whatever the others found.
    int exitCode = kExitOk;
    for (const CheckResult& r : results) {
        const int code = r.verdict == Verdict::Failed    ? r.exitCode
                         : r.verdict == Verdict::Differs ? kExitFailed
                                                         : kExitOk;
        if (severity(code) > severity(exitCode)) {
            exitCode = code;
        }
    }
    if (run.stopped) {
        exitCode = kExitInterrupted;
    }
    if (args.json) {
        std::cout << json::write(report(checked, results, run.stopped));
    } else if (!args.quiet) {
        for (size_t i : run.notStarted) {
            std::cout << describe(checked[i].name, results[i]) << '\n';
        }
        std::cout << i18n::fill(QX_("比べない項目（機器ごとに違うため）: %1"), {uncomparedNote()})
                  << '\n';
    }
    return exitCode;
}

}  // namespace qavix::cli
