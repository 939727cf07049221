#pragma once
// The built qavixctl run as a user runs it (ChildProcess): to the end with its output and
// exit code, or in the background for tests that signal it while it works.

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"

namespace qavix::test {

// qavixctl speaks Japanese unless a test sets one of these: the runner's own locale and
// language are not passed on.
constexpr const char* kLanguageVariables[] = {"QAVIX_LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES",
                                              "LANG"};

struct CtlEnv {
    std::string workDir;                                    // empty: a fresh temporary folder
    std::vector<std::pair<std::string, std::string>> vars;  // e.g. {"QAVLINK_COM1", "sim"}
    unsigned long long memoryLimit = 0;                     // RLIMIT_AS in bytes; 0 none
    std::string outFile{};  // CtlChild: where its output goes for a test to watch; empty: its own
    std::string errFile{};
    bool onlyVars = false;  // nothing of the runner's environment, as `env -i`
};

using CtlRun = ProcessResult;

// Long enough for the slowest command a test runs (a fleet over emulated lines); a run
// still going then has hung.
constexpr std::chrono::milliseconds kCtlLimit = std::chrono::seconds(120);

CtlRun runCtl(const CtlEnv& env, const std::vector<std::string>& args);
// The same as another user and group (through setpriv; the test must run as root). A uid
// below 0 runs it as the test runs.
CtlRun runCtlAs(int uid, int gid, const CtlEnv& env, const std::vector<std::string>& args);

// qavixctl running in the background; killed when it goes if it is still running.
class CtlChild : public ChildProcess {
  public:
    CtlChild(const CtlEnv& env, const std::vector<std::string>& args);
};

}  // namespace qavix::test
