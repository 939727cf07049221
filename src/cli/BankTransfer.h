#pragma once
// qavixctl bank export | import: one stored set between the controller and a bank file.

#include <string>
#include <string_view>

#include "DeviceOptions.h"
#include "comm/JournaledWrite.h"
#include "model/DeviceData.h"

namespace qavix::cli {

class DeviceSession;

// The version text a bank file written here carries.
constexpr const char* kBankFileVersion = "2.10";
// The question before an import replaces settings the target already holds.
constexpr const char* kOverwriteQuestion =
    "インポート先に既に設定値が設定されています。\n上書きしてもよろしいですか？";

// Reads set `set` (0 current values, 1..4 a bank) from the controller and writes it to
// `path`.
int runExport(const DeviceOptions& options, int set, const std::string& path,
              const std::string& title);

// Checks `path` against its value ranges and the connected controller, then writes it to
// set `target`: the current values (0) or a bank (1..4), each verified by reading back.
int runImport(const DeviceOptions& options, const std::string& path, int target);
// The same on a session not yet connected.
int runImport(DeviceSession& session, const std::string& path, int target);
// The same for a file's bytes already read (and checked) by the caller, imported as they
// are: nothing is read from the file again.
// `what` names the write in the change journal (a fleet restore, with its file).
int runImportBytes(DeviceSession& session, std::string_view bytes, int target,
                   const WriteDescription& what);

// After Read all: bank 1..4 read fresh into `data`. kExitFailed with `why` when the bank
// does not hold settings for this controller (erased or foreign): the program offers no
// export of such a bank. Otherwise kExitOk or the exit code of the failed read.
int readBankForExport(DeviceSession& session, int bank, SettingsData& data, std::string& why);

}  // namespace qavix::cli
