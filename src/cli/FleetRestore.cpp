#include "FleetRestore.h"

#include <filesystem>
#include <iostream>

#include "BankTransfer.h"
#include "DeviceSession.h"
#include "ExitCodes.h"
#include "FleetRun.h"
#include "IniText.h"
#include "Translate.h"
#include "files/FileIo.h"
#include "files/Sha256.h"
#include "fleet/BackupManifest.h"

namespace qavix::cli {

namespace {

namespace fs = std::filesystem;

// The run's folder: `from` itself, or its parent when `from` is the controller's folder.
std::string runFolderOf(const std::string& from, const std::string& name) {
    const fs::path path(from);
    if (fs::exists(path / fleet::kManifestName)) {
        return path.string();
    }
    const fs::path trimmed = path.has_filename() ? path : path.parent_path();
    if (trimmed.filename() == name && fs::exists(trimmed.parent_path() / fleet::kManifestName)) {
        return trimmed.parent_path().string();
    }
    return {};
}

int refuse(const std::string& text) {
    std::cerr << text << '\n';
    return kExitFileError;
}

// A manifest names files inside its own backup folder; a path that is absolute or climbs out
// with ".." would read (and write to a controller) a file the backup never wrote.
bool insideBackup(const std::string& path) {
    const fs::path p(path);
    if (path.empty() || p.is_absolute()) {
        return false;
    }
    for (const fs::path& part : p) {
        if (part == "..") {
            return false;
        }
    }
    return true;
}

}  // namespace

int runFleetRestore(const DeviceOptions& options, const FleetRestoreArgs& args) {
    fleet::Plant plant;
    if (const int loaded = loadPlant(args.plant, plant); loaded != kExitOk) {
        return loaded;
    }
    const fleet::PlantController* controller = plant.find(args.name);
    if (controller == nullptr) {
        return refuse(i18n::fill(QX_("%1: %2 という名前のコントローラがありません"),
                                 {args.plant, args.name}));
    }
    const std::string run = runFolderOf(args.from, args.name);
    if (run.empty()) {
        return refuse(
            i18n::fill(QX_("%1: ここにも1つ上のフォルダにもバックアップ（manifest.json）が"
                           "ありません"),
                       {args.from}));
    }
    const std::string manifestPath = (fs::path(run) / fleet::kManifestName).string();
    const fileio::ReadResult manifestFile = fileio::readFile(manifestPath);
    std::string error;
    const auto manifest = manifestFile.ok() ? fleet::parseManifest(manifestFile.bytes, error)
                                            : std::optional<fleet::Manifest>();
    if (!manifest) {
        return refuse(manifestPath + ": " + (manifestFile.ok() ? error : manifestFile.error));
    }
    const fleet::ControllerRecord* record = manifest->find(args.name);
    const fleet::BackupFile* current = nullptr;
    if (record != nullptr) {
        for (const fleet::BackupFile& f : record->files) {
            current = f.set == 0 ? &f : current;
        }
    }
    if (current == nullptr) {
        return refuse(i18n::fill(QX_("%1: %2 の現在値がありません"), {manifestPath, args.name}));
    }
    if (!insideBackup(current->path)) {
        return refuse(i18n::fill(QX_("%1: %2 の現在値のパス（%3）がバックアップフォルダの外を"
                                     "指しています"),
                                 {manifestPath, args.name, ini::printable(current->path)}));
    }
    // The file must be the one the backup wrote: a changed or damaged file is not written to
    // a controller. It is read once; what was checked is what is imported.
    const std::string path = (fs::path(run) / current->path).string();
    const fileio::ReadResult file = fileio::readFile(path);
    if (!file.ok()) {
        return refuse(file.error);
    }
    if (sha256Hex(file.bytes) != current->sha256 || file.bytes.size() != current->size) {
        return refuse(i18n::fill(QX_("%1: バックアップが書いたファイルと違います（SHA-256 %2）"),
                                 {path, current->sha256}));
    }

    const std::string unit = std::to_string(controller->unit);
    std::cout << (record->identity && !record->identity->serial.empty()
                      ? i18n::fill(QX_("%1 の現在値を %2（%3 のバックアップ、シリアル番号 %6）から "
                                       "%4 ユニット %5 に戻します"),
                                   {args.name, path, manifest->created, controller->port, unit,
                                    record->identity->serial})
                      : i18n::fill(QX_("%1 の現在値を %2（%3 のバックアップ）から %4 ユニット %5 に"
                                       "戻します"),
                                   {args.name, path, manifest->created, controller->port, unit}))
              << '\n';

    std::vector<LinkSettings> links;
    if (const int read = plantLinks({*controller}, links); read != kExitOk) {
        return read;
    }
    DeviceSession session(options, SessionSetup{links[0], false, false, plant.journalFolder});
    return runImportBytes(session, file.bytes, kCurrentSet,
                          {journal::Operation::FleetRestore, path});
}

}  // namespace qavix::cli
