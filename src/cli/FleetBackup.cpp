#include "FleetBackup.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <mutex>

#include "BankTransfer.h"
#include "DeviceSession.h"
#include "ExitCodes.h"
#include "FleetProgress.h"
#include "FleetRun.h"
#include "FleetRunFiles.h"
#include "Translate.h"
#include "files/BankFile.h"
#include "files/FileIo.h"
#include "files/Fingerprint.h"
#include "files/IsoTime.h"
#include "files/Sha256.h"
#include "files/TextFile.h"
#include "fleet/BackupFolder.h"
#include "fleet/BackupManifest.h"
#include "fleet/SpaceReserve.h"

namespace qavix::cli {

namespace {

using fleet::BackupResult;
using fleet::ControllerRecord;
using Clock = std::chrono::steady_clock;

std::tm localTime(std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

// The manifest of the run, written again after every controller so that what was done is on
// disk even if the run itself is cut short. Room for it is set aside first: a disk that
// fills up with the controllers' files still takes the record of them.
class BackupRun {
  public:
    BackupRun(std::string folder, fleet::Manifest manifest)
        : m_folder(std::move(folder)), m_manifest(std::move(manifest)) {}

    const std::string& folder() const { return m_folder; }

    // Writes the first manifest and sets the room aside for the later ones; false when
    // either fails, with no manifest left behind.
    bool start() {
        if (!write()) {
            return false;
        }
        const std::string reserve = (std::filesystem::path(m_folder) / kReserveName).string();
        if (!m_reserve.make(reserve, fleet::manifestReserveBytes(m_manifest.controllers.size()),
                            m_error)) {
            m_error =
                i18n::fill(QX_("バックアップのマニフェストを書く空きがありません: %1"), {m_error});
            ::unlink((std::filesystem::path(m_folder) / fleet::kManifestName).c_str());
            return false;
        }
        return true;
    }

    bool record(size_t index, ControllerRecord record) {
        std::lock_guard lock(m_mutex);
        m_manifest.controllers.at(index) = std::move(record);
        return writeLocked();
    }

    bool write() {
        std::lock_guard lock(m_mutex);
        return writeLocked();
    }

    // The last manifest, and the room given back.
    bool finish() {
        std::lock_guard lock(m_mutex);
        const bool written = writeLocked();
        m_reserve.release();
        return written;
    }

    const std::string& error() const { return m_error; }

  private:
    static constexpr const char* kReserveName = ".manifest.reserve";

    bool writeLocked() {
        const std::string path = (std::filesystem::path(m_folder) / fleet::kManifestName).string();
        const std::string text = fleet::manifestJson(m_manifest);
        fileio::WriteResult written = fileio::writeFileAtomic(path, text);
        const bool full = written.errorNumber == ENOSPC || written.errorNumber == EDQUOT;
        if (!written.ok && full && m_reserve.release()) {
            written = fileio::writeFileAtomic(path, text);
        }
        if (!written.ok) {
            m_error = written.error;
        }
        return written.ok;
    }

    std::string m_folder;
    fleet::Manifest m_manifest;
    std::mutex m_mutex;
    std::string m_error;
    fleet::SpaceReserve m_reserve;
};

// One controller's backup: connect, read, write each file whole, stop after a file when
// asked to.
class ControllerBackup {
  public:
    ControllerBackup(const fleet::PlantController& controller, const LinkSettings& link,
                     const std::string& runFolder, const std::atomic<bool>& stop)
        : m_controller(controller),
          m_runFolder(runFolder),
          m_stop(stop),
          m_session(DeviceOptions{}, SessionSetup{link, true, true, {}}) {
        m_record.name = controller.name;
        m_record.port = controller.port;
        m_record.unit = controller.unit;
    }

    ControllerRecord run() {
        const auto wallStart = std::chrono::system_clock::now();
        const auto start = Clock::now();
        m_record.started = isoLocalTime(wallStart);
        m_record.result = backup();
        m_record.finished = isoLocalTime(std::chrono::system_clock::now());
        m_record.durationMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        return m_record;
    }

  private:
    BackupResult fail(const std::string& fallback) {
        const std::string messages = oneLine(m_session.host().keptMessages());
        m_record.reason = messages.empty() ? fallback : messages;
        return BackupResult::Failed;
    }

    BackupResult backup() {
        if (m_session.connect() != kExitOk) {
            return fail("cannot connect");
        }
        Transactions& tx = m_session.transactions();
        if (tx.readAll() != kRequestOk) {
            return fail("the current values could not be read");
        }
        for (const PageRead& read : fleet::identityReads(m_session.model().working())) {
            if (m_session.link().request(read.code, read.arg1, read.start, read.count,
                                         read.timeoutMs) != kRequestOk) {
                return fail("the controller's identity could not be read");
            }
        }
        const SettingsData current = m_session.model().working();
        m_record.identity = fleet::identityOf(current);
        if (!save(0, current)) {
            return BackupResult::Failed;
        }
        for (int bank = 1; bank <= kBankCount; ++bank) {
            if (!m_controller.banks[static_cast<size_t>(bank - 1)]) {
                continue;
            }
            if (stopped()) {
                return BackupResult::Interrupted;
            }
            SettingsData data;
            std::string why;
            const int read = readBankForExport(m_session, bank, data, why);
            if (!why.empty()) {
                m_record.notes.push_back(why + ": not saved");
                continue;
            }
            if (read != kExitOk) {
                return fail("Bank " + std::to_string(bank) + " could not be read");
            }
            if (!save(bank, data)) {
                return BackupResult::Failed;
            }
        }
        return BackupResult::Ok;
    }

    bool stopped() {
        if (!m_stop) {
            return false;
        }
        m_record.reason = "interrupted after " + std::to_string(m_record.files.size()) +
                          (m_record.files.size() == 1 ? " file" : " files");
        return true;
    }

    // The file `bank export` writes, written whole beside its target and renamed, with the
    // checksum of exactly the bytes written.
    bool save(int set, const SettingsData& data) {
        const bankfile::BankFileText file = bankfile::formatBankFile(
            data, kBankFileVersion, "", localTime(std::chrono::system_clock::now()));
        const textfile::EncodedText encoded = textfile::encodeText(file.text);
        const std::string name = fleet::backupFileName(set);
        if (!file.ok || !encoded.ok) {
            m_record.reason = name + ": " + (file.ok ? "not Shift-JIS" : file.error);
            return false;
        }
        const std::filesystem::path folder = std::filesystem::path(m_runFolder) / m_controller.name;
        std::string error;
        if (!fleet::ensureFolder(folder.string(), error)) {
            m_record.reason = error;
            return false;
        }
        const std::string path = (folder / name).string();
        const fileio::WriteResult written = fileio::writeFileAtomic(path, encoded.bytes);
        if (!written.ok) {
            m_record.reason = written.error;
            return false;
        }
        m_record.files.push_back({set, m_controller.name + "/" + name, sha256Hex(encoded.bytes),
                                  static_cast<uint64_t>(encoded.bytes.size()),
                                  settingsFingerprint(data)});
        return true;
    }

    const fleet::PlantController& m_controller;
    const std::string& m_runFolder;
    const std::atomic<bool>& m_stop;
    DeviceSession m_session;
    ControllerRecord m_record;
};

std::string describe(const ControllerRecord& r) {
    std::string text = r.name + ": " + fleet::resultText(r.result);
    if (r.result == BackupResult::Ok || r.result == BackupResult::Interrupted) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", static_cast<double>(r.durationMs) / 1000);
        text += i18n::fill(QXN_("、%1 ファイル、%2 秒", "、%1 ファイル、%2 秒", r.files.size()),
                           {std::to_string(r.files.size()), seconds});
    }
    if (!r.reason.empty()) {
        text += ": " + r.reason;
    }
    for (const std::string& note : r.notes) {
        text += "; " + note;
    }
    return text;
}

// Every controller listed as not yet backed up, so that a run cut short still names them all.
fleet::Manifest startingManifest(const std::string& plantPath, const fleet::Plant& plant,
                                 std::chrono::system_clock::time_point now) {
    fleet::Manifest manifest;
    manifest.created = isoLocalTime(now);
    manifest.plant = plantPath;
    for (const fleet::PlantController& c : plant.controllers) {
        ControllerRecord r;
        r.name = c.name;
        r.port = c.port;
        r.unit = c.unit;
        manifest.controllers.push_back(r);
    }
    return manifest;
}

struct BackupOutcome {
    std::vector<ControllerRecord> records;
    bool stopped = false;
};

BackupOutcome backUpControllers(const fleet::Plant& plant, const std::vector<LinkSettings>& links,
                                const fleet::Manifest& manifest, BackupRun& run,
                                const FleetBackupArgs& args) {
    FleetProgress progress(plant.controllers.size(), ProgressOptions{args.quiet, true});
    std::mutex recordsMutex;
    BackupOutcome outcome;
    outcome.records.resize(plant.controllers.size());
    std::vector<ControllerRecord>& records = outcome.records;
    const FleetRunResult result = runOnLines(
        plant.controllers, args.jobs, progress, [&](size_t i, const std::atomic<bool>& stop) {
            const fleet::PlantController& c = plant.controllers[i];
            progress.started(c.name);
            ControllerRecord record = ControllerBackup(c, links[i], run.folder(), stop).run();
            if (!run.record(i, record)) {
                progress.note(run.error());
            }
            progress.finished(c.name, describe(record), record.result != BackupResult::Ok);
            std::lock_guard lock(recordsMutex);
            records[i] = std::move(record);
        });
    for (size_t i : result.notStarted) {
        records[i] = manifest.controllers[i];
        records[i].reason = "interrupted before it started";
        run.record(i, records[i]);
        progress.finished(records[i].name, describe(records[i]), true);
    }
    progress.close();
    outcome.stopped = result.stopped;
    return outcome;
}

int finishBackup(const std::string& folder, const BackupOutcome& outcome, BackupRun& run,
                 bool quiet) {
    const std::vector<ControllerRecord>& records = outcome.records;
    size_t saved = 0;
    for (const ControllerRecord& r : records) {
        saved += r.result == BackupResult::Ok ? 1 : 0;
    }
    const bool manifestOk = run.finish();
    if (!manifestOk) {
        std::cerr << run.error() << '\n';
    }
    if (!quiet || saved != records.size()) {
        std::ostream& out = saved == records.size() ? std::cout : std::cerr;
        out << i18n::fill(
                   outcome.stopped
                       ? QXN_("バックアップ %1: %3 台のうち %2 台を保存しました（中断）",
                              "バックアップ %1: %3 台のうち %2 台を保存しました（中断）",
                              records.size())
                       : QXN_("バックアップ %1: %3 台のうち %2 台を保存しました",
                              "バックアップ %1: %3 台のうち %2 台を保存しました", records.size()),
                   {folder, std::to_string(saved), std::to_string(records.size())})
            << '\n';
    }
    if (!manifestOk) {
        return kExitFileError;
    }
    if (outcome.stopped) {
        return kExitInterrupted;
    }
    return saved == records.size() ? kExitOk : kExitFailed;
}

}  // namespace

fleet::ControllerRecord backUpController(const fleet::PlantController& controller,
                                         const LinkSettings& link, const std::string& runFolder) {
    const std::atomic<bool> never{false};
    return ControllerBackup(controller, link, runFolder, never).run();
}

int runFleetBackup(const FleetBackupArgs& args) {
    fleet::Plant plant;
    if (const int loaded = loadPlant(args.plant, plant); loaded != kExitOk) {
        return loaded;
    }
    std::vector<LinkSettings> links;
    if (const int read = plantLinks(plant.controllers, links); read != kExitOk) {
        return read;
    }
    // Without --out the run is written to a scratch folder that only the history keeps.
    BackupFollowUp followUp(args.followUp, args.plant, args.quiet);
    ScratchFolder scratch;
    std::string out = args.out;
    std::string error;
    if (!followUp.prepare(!args.out.empty()) ||
        (out.empty() && (out = scratch.path(error)).empty())) {
        if (!error.empty()) {
            std::cerr << error << '\n';
        }
        return kExitFileError;
    }
    const auto now = std::chrono::system_clock::now();
    const fleet::BackupFolder folder = fleet::createBackupFolder(out, localTime(now));
    if (folder.path.empty()) {
        std::cerr << folder.error << '\n';
        return kExitFileError;
    }
    const fleet::Manifest manifest = startingManifest(args.plant, plant, now);
    BackupRun run(folder.path, manifest);
    if (!run.start()) {
        std::cerr << run.error() << '\n';
        std::error_code ec;
        std::filesystem::remove(folder.path, ec);  // only when empty: nothing was saved
        return kExitFileError;
    }
    const BackupOutcome outcome = backUpControllers(plant, links, manifest, run, args);
    const int saved =
        finishBackup(args.out.empty() ? i18n::fill(QX_("%1 へ"), {args.followUp.git}) : folder.path,
                     outcome, run, args.quiet);
    fleet::Manifest finished = manifest;
    finished.controllers = outcome.records;
    return followUp.finish(plant, finished, folder.path, saved);
}

}  // namespace qavix::cli
