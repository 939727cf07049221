#pragma once
// The folder of one backup run: OUT/YYYYMMDD-HHMMSS, made new every time. A run never writes
// into an earlier run's folder, even one of the same second: mkdir fails on a name that
// exists, so the next free name (…-2, …-3) is taken, also against a run in parallel.

#include <ctime>
#include <string>

namespace qavix::fleet {

// Gives up after this many folders of one second: something else is making them.
constexpr int kMaxFoldersPerSecond = 1000;

struct BackupFolder {
    std::string path;   // empty on failure
    std::string error;  // why not
};

// Makes `outDir` (with its parents) when missing, then the run's own folder in it.
BackupFolder createBackupFolder(const std::string& outDir, const std::tm& when);

// Makes the folder of one controller in the run's folder (once; later calls find it).
bool ensureFolder(const std::string& path, std::string& error);

}  // namespace qavix::fleet
