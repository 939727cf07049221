#include "BankLoading.h"

#include "ExitCodes.h"
#include "Translate.h"
#include "files/BankFile.h"
#include "files/BankImport.h"

namespace qavix::cli {

LoadedSet importBankFile(const std::string& path) {
    LoadedSet loaded;
    bankfile::BankFileContents file = bankfile::readBankFile(path);
    const bankfile::ImportResult result = bankfile::importBlocks(file.blocks, loaded.set);
    if (!result.ok()) {
        loaded.exitCode =
            result.status == bankfile::ImportStatus::CannotOpen ? kExitFileError : kExitFailed;
        loaded.message = result.message;
        loaded.reason = result.reason;
    }
    loaded.misplaced = std::move(file.misplaced);
    return loaded;
}

LoadedSet loadBankFile(const std::string& path) {
    LoadedSet loaded;
    const bankfile::BlockRead read = bankfile::readBlocks(path);
    if (!read.ok()) {
        loaded.exitCode =
            read.status == bankfile::ReadStatus::CannotOpen ? kExitFileError : kExitFailed;
        loaded.message = read.message;
        loaded.reason = read.reason;
        return loaded;
    }
    if (bankfile::decodeBlocks(read.texts, loaded.set) != codec::DecodeResult::Ok) {
        loaded.exitCode = kExitFailed;
        loaded.message = i18n::translate(bankfile::kInvalidDataMessage);
    }
    return loaded;
}

}  // namespace qavix::cli
