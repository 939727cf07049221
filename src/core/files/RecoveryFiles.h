#pragma once
// When the program must end on a lost connection, settings applied to a bank offline but
// not yet written to the controller would be lost. They are saved as bank files first.

#include <ctime>
#include <string>
#include <vector>

#include "model/DeviceModel.h"

namespace qavix {

constexpr const char* kRecoveryBankFileVersion = "2.10";

// The file name of bank `bank`'s recovery file at `when`.
std::string recoveryFileName(int bank, const std::tm& when);

// Where recovery files are tried, in order: the working folder, then the per-user data
// folder (files/UserDataFolder) when there is one.
std::vector<std::string> recoveryFolders(const std::string& workingFolder);

struct RecoverySave {
    std::vector<std::string> written;  // the files saved
    std::vector<int> unsaved;          // banks that could be saved in none of the folders
    std::vector<std::string> errors;   // why each unsaved bank failed in the last folder
};

// Saves every bank with applied, unwritten edits. Each bank goes into the first of
// `folders` that takes it (a missing per-user folder is created); a bank no folder takes is
// listed as unsaved, so the user is told its edits are gone instead of nothing.
RecoverySave saveRecoveryFiles(const DeviceModel& model, const std::vector<std::string>& folders,
                               const std::tm& when);

}  // namespace qavix
