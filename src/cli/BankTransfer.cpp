#include "BankTransfer.h"

#include <ctime>
#include <iostream>

#include "DeviceSession.h"
#include "ExitCodes.h"
#include "OutputFile.h"
#include "files/BankFile.h"
#include "files/BankImport.h"

namespace qavix::cli {

namespace {

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm when{};
    localtime_r(&now, &when);
    return when;
}

// The set to export, read fresh: the current values by Read all, a bank by reading its
// image.
int readSet(DeviceSession& session, int set, SettingsData& data) {
    if (session.transactions().readAll() != kRequestOk) {
        return session.failureExit();
    }
    if (set == kCurrentSet) {
        data = session.model().working();
        return kExitOk;
    }
    std::string why;
    const int read = readBankForExport(session, set, data, why);
    if (!why.empty()) {
        std::cerr << why << '\n';
    }
    return read;
}

// The file's own checks (lengths, decoding, value ranges) with the program's messages.
int checkImportFile(DeviceSession& session, const bankfile::ImportResult& read) {
    if (!read.ok()) {
        session.host().showMessage(read.message);
        if (!read.reason.empty()) {
            std::cerr << read.reason << '\n';
        }
        return kExitFileError;
    }
    return kExitOk;
}

// The file must hold settings for the connected controller and sensors. On success the
// spare stored set holds it.
int checkCompatible(DeviceSession& session, const SettingsData& imported) {
    DeviceModel& model = session.model();
    static_cast<SettingsData&>(model.storedSet(kSpareSet)) = imported;
    model.checkCompatibility();
    if (model.storedSet(kSpareSet).compatible == 0) {
        session.host().showMessage(bankfile::kInvalidDataMessage);
        return kExitFileError;
    }
    return kExitOk;
}

int writeImported(DeviceSession& session, int target, const WriteDescription& what) {
    DeviceModel& model = session.model();
    Transactions& transactions = session.transactions();
    const SettingsData before = model.working();  // the current values, read just now
    model.copyStoredSet(target, kSpareSet);
    if (target == kCurrentSet) {
        // Selecting the set already selected reloads the working set from it.
        model.selectSet(kCurrentSet);
        return session.exitFor(transactions.writeCurrentValues(before, what));
    }
    const int selected = transactions.selectStoredSet(target);
    if (selected != kRequestOk) {
        return session.failureExit();
    }
    return session.exitFor(transactions.writeSelectedBank(what));
}

int importChecked(DeviceSession& session, const bankfile::ImportResult& read,
                  const SettingsData& imported, int target, const WriteDescription& what) {
    // A file that cannot be taken is refused before the controller is involved.
    if (const int checked = checkImportFile(session, read); checked != kExitOk) {
        return checked;
    }
    const int connected = session.connect();
    if (connected != kExitOk) {
        return connected;
    }
    // The current set and the banks tell what the file must match and which targets
    // already hold settings for this controller.
    if (session.transactions().readAll() != kRequestOk ||
        session.transactions().readBanks() != kRequestOk) {
        return session.failureExit();
    }
    const int compatible = checkCompatible(session, imported);
    if (compatible != kExitOk) {
        return compatible;
    }
    if (session.model().storedSet(target).compatible != 0 &&
        !session.host().confirm(kOverwriteQuestion)) {
        return kExitFailed;
    }
    return writeImported(session, target, what);
}

}  // namespace

int readBankForExport(DeviceSession& session, int bank, SettingsData& data, std::string& why) {
    if (session.transactions().rereadBank(bank) != kRequestOk) {
        return session.failureExit();
    }
    const StoredSet& stored = session.model().storedSet(bank);
    if (!isCompatible(session.model().working(), stored)) {
        why = "Bank " + std::to_string(bank) +
              " does not hold settings for this controller (erased or foreign)";
        return kExitFailed;
    }
    data = stored;
    return kExitOk;
}

int runExport(const DeviceOptions& options, int set, const std::string& path,
              const std::string& title) {
    const int target = checkOutputTarget(path);
    if (target != kExitOk) {
        return target;
    }
    DeviceSession session(options);
    const int connected = session.connect();
    if (connected != kExitOk) {
        return connected;
    }
    SettingsData data;
    const int read = readSet(session, set, data);
    if (read != kExitOk) {
        return read;
    }
    const bankfile::BankFileText file =
        bankfile::formatBankFile(data, kBankFileVersion, title, localNow());
    if (!file.ok) {
        std::cerr << path << ": " << file.error << '\n';
        return kExitFileError;
    }
    return writeTextOutput(path, file.text);
}

int runImport(const DeviceOptions& options, const std::string& path, int target) {
    DeviceSession session(options);
    return runImport(session, path, target);
}

int runImport(DeviceSession& session, const std::string& path, int target) {
    SettingsData imported;
    return importChecked(session, bankfile::importFile(path, imported), imported, target,
                         {journal::Operation::BankImport, path});
}

int runImportBytes(DeviceSession& session, std::string_view bytes, int target,
                   const WriteDescription& what) {
    SettingsData imported;
    return importChecked(session,
                         bankfile::importBlocks(bankfile::parseBankFile(bytes).blocks, imported),
                         imported, target, what);
}

}  // namespace qavix::cli
