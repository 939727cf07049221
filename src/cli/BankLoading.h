#pragma once
// Reading a bank file for a command: the stored set, or the message and exit code of the
// failure.

#include <string>
#include <vector>

#include "ExitCodes.h"
#include "files/BankFile.h"
#include "model/DeviceData.h"

namespace qavix::cli {

struct LoadedSet {
    int exitCode = kExitOk;  // or kExitFailed, kExitFileError
    std::string message;     // the program's own message when exitCode is not kExitOk
    std::string reason;      // for kExitFileError: why the file could not be read
    SettingsData set;
    std::vector<bankfile::KeyMismatch> misplaced;  // keys out of their place, from the same read
};

// Reads `path` once, as an import does: lengths, decoding and the value-range check. `bank
// check` and `bank report` both go through here, so they accept and refuse the same files.
LoadedSet importBankFile(const std::string& path);

// Reads and decodes `path` as an import does, without the range check, so that out-of-range
// values can still be shown.
LoadedSet loadBankFile(const std::string& path);

}  // namespace qavix::cli
