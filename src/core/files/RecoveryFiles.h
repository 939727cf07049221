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

// Saves every bank with applied, unwritten edits into `folder`; returns the paths written.
// A bank that cannot be saved is skipped (its reason goes to `errors`).
std::vector<std::string> saveRecoveryFiles(const DeviceModel& model, const std::string& folder,
                                           const std::tm& when,
                                           std::vector<std::string>* errors = nullptr);

}  // namespace qavix
