#include "files/RecoveryFiles.h"

#include <cstdio>
#include <filesystem>

#include "Translate.h"
#include "files/BankFile.h"
#include "files/UserDataFolder.h"

namespace qavix {

std::string recoveryFileName(int bank, const std::tm& when) {
    char name[96];
    std::snprintf(name, sizeof name, "Qavix-recovery-Bank%d-%04d%02d%02d-%02d%02d%02d.qbk", bank,
                  when.tm_year + 1900, when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min,
                  when.tm_sec);
    return name;
}

std::vector<std::string> recoveryFolders(const std::string& workingFolder) {
    std::vector<std::string> folders{workingFolder.empty() ? std::string(".") : workingFolder};
    const std::string user = userDataFolder();
    if (!user.empty()) {
        folders.push_back(user);
    }
    return folders;
}

RecoverySave saveRecoveryFiles(const DeviceModel& model, const std::vector<std::string>& folders,
                               const std::tm& when) {
    RecoverySave save;
    for (int bank = 1; bank <= kBankCount; ++bank) {
        if (model.storedSet(bank).edited == 0) {
            continue;
        }
        // The selected bank's latest edits live in the working set.
        const SettingsData& data = model.selectedSet() == bank
                                       ? static_cast<const SettingsData&>(model.working())
                                       : model.storedSet(bank);
        const std::string title = "Bank" + std::to_string(bank) + " recovery";
        std::string lastError = QX_("保存できるフォルダがありません");
        bool saved = false;
        for (size_t i = 0; i < folders.size() && !saved; ++i) {
            const std::string& folder = folders[i].empty() ? std::string(".") : folders[i];
            if (i > 0) {
                std::error_code ec;
                std::filesystem::create_directories(folder, ec);
            }
            const std::string path = folder + "/" + recoveryFileName(bank, when);
            const fileio::WriteResult result =
                bankfile::writeBankFile(path, data, kRecoveryBankFileVersion, title, when);
            if (result.ok) {
                save.written.push_back(path);
                saved = true;
            } else {
                // Errors of the file system name the path already; others do not.
                lastError = result.error.find(path) == std::string::npos
                                ? i18n::fill(QX_("%1: %2"), {path, result.error})
                                : result.error;
            }
        }
        if (!saved) {
            save.unsaved.push_back(bank);
            save.errors.push_back(lastError);
        }
    }
    return save;
}

}  // namespace qavix
