#pragma once
// The manifest of a plant backup (manifest.json beside the controllers' folders): for every
// controller of the plant its port and unit, when it was read and how that ended, its
// identity and sensors, and every file written with its SHA-256.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/Fingerprint.h"
#include "fleet/ControllerIdentity.h"

namespace qavix::fleet {

constexpr const char* kManifestName = "manifest.json";
constexpr int kManifestFormat = 1;

// "current.qbk" for the current values (set 0), "bank1.qbk" .. "bank4.qbk".
std::string backupFileName(int set);

enum class BackupResult { Ok, Failed, Interrupted, NotStarted };
const char* resultText(BackupResult result);  // "ok", "failed", "interrupted", "not started"
std::optional<BackupResult> resultFromText(std::string_view text);

struct BackupFile {
    int set = 0;       // 0 current values, 1..4 a bank
    std::string path;  // relative to the backup folder: NAME/current.qbk
    std::string sha256;
    uint64_t size = 0;
    Fingerprint fingerprint;  // of the settings the file holds; not known in older manifests
};

struct ControllerRecord {
    std::string name;
    std::string port;
    int unit = 0;
    BackupResult result = BackupResult::NotStarted;
    std::string reason;   // why it failed or was interrupted
    std::string started;  // local time, ISO 8601 with offset; empty when not started
    std::string finished;
    int64_t durationMs = 0;
    std::optional<ControllerIdentity> identity;
    std::vector<BackupFile> files;
    std::vector<std::string> notes;  // what was left out and why (an erased bank)
};

struct Manifest {
    std::string created;  // local time of the backup, ISO 8601 with offset
    std::string plant;    // the plant file as given
    std::vector<ControllerRecord> controllers;

    const ControllerRecord* find(std::string_view name) const;
};

std::string manifestJson(const Manifest& manifest);
// Nothing, with the reason, when `text` is not a manifest this program wrote.
std::optional<Manifest> parseManifest(std::string_view text, std::string& error);

}  // namespace qavix::fleet
