#include "files/RecoveryFiles.h"

#include <cstdio>

#include "files/BankFile.h"

namespace qavix {

std::string recoveryFileName(int bank, const std::tm& when) {
    char name[96];
    std::snprintf(name, sizeof name, "Qavix-recovery-Bank%d-%04d%02d%02d-%02d%02d%02d.qbk", bank,
                  when.tm_year + 1900, when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min,
                  when.tm_sec);
    return name;
}

std::vector<std::string> saveRecoveryFiles(const DeviceModel& model, const std::string& folder,
                                           const std::tm& when, std::vector<std::string>* errors) {
    std::vector<std::string> written;
    for (int bank = 1; bank <= kBankCount; ++bank) {
        if (model.storedSet(bank).edited == 0) {
            continue;
        }
        // The selected bank's latest edits live in the working set.
        const SettingsData& data = model.selectedSet() == bank
                                       ? static_cast<const SettingsData&>(model.working())
                                       : model.storedSet(bank);
        const std::string path =
            (folder.empty() ? std::string(".") : folder) + "/" + recoveryFileName(bank, when);
        const std::string title = "Bank" + std::to_string(bank) + " recovery";
        const fileio::WriteResult result =
            bankfile::writeBankFile(path, data, kRecoveryBankFileVersion, title, when);
        if (result.ok) {
            written.push_back(path);
        } else if (errors != nullptr) {
            errors->push_back(path + ": " + result.error);
        }
    }
    return written;
}

}  // namespace qavix
