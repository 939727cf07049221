#pragma once
// Exit codes shared by every qavixctl command.

namespace qavix::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;     // the check failed, or the files differ
constexpr int kExitFileError = 2;  // a file could not be opened (diff: or is no bank file)
constexpr int kExitUsage = 64;     // the command line itself is wrong

}  // namespace qavix::cli
