#pragma once
// Where a command's text output goes: a file saved atomically, or standard output for "-".

#include <string>
#include <string_view>

namespace qavix::cli {

// "-" names standard output, as in most command-line tools; the bytes are those the file
// would hold, so `--out - > f` and `--out f` give the same file.
constexpr const char* kStandardOutputName = "-";

bool isStandardOutput(const std::string& path);

// Checks a target before any work is done for it (a device command connects only when the
// result can be kept). Prints the reason (after `failureMessage`, when given) on standard
// error and returns kExitFileError when the file may not be replaced, kExitOk otherwise.
int checkOutputTarget(const std::string& path, const std::string& failureMessage = {});

// Encodes UTF-8 `text` as a Shift-JIS text file and saves it to `path` or writes it to
// standard output. On failure prints the reason (after `failureMessage`, when given) and
// returns kExitFileError.
int writeTextOutput(const std::string& path, std::string_view text,
                    const std::string& failureMessage = {});

}  // namespace qavix::cli
