#pragma once
// qavixctl bank export | import: one stored set between the controller and a bank file.

#include <string>

#include "DeviceOptions.h"

namespace qavix::cli {

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

}  // namespace qavix::cli
