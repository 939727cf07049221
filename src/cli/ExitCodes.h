#pragma once
// Exit codes shared by every qavixctl command.

namespace qavix::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;      // the check failed, the files differ, the controller refused
                                    // or did not keep what was written, or a question was refused
constexpr int kExitFileError = 2;   // a file could not be opened, read or written, or holds no
                                    // bank data this controller takes
constexpr int kExitConnection = 3;  // no link library, no answer, or the connection was lost
constexpr int kExitUsage = 64;      // the command line itself is wrong
constexpr int kExitInterrupted = 130;  // Ctrl+C or SIGTERM, as the shell counts a SIGINT

}  // namespace qavix::cli
