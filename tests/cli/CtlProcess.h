#pragma once
// Runs the built qavixctl as a user would: its own process, working directory and
// environment; collects standard output, standard error and the exit code.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace qavix::cli::test {

struct CtlRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// qavixctl speaks Japanese unless a test sets one of these: the runner's own locale and
// language are not passed on.
constexpr const char* kLanguageVariables[] = {"QAVIX_LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES",
                                              "LANG"};

struct CtlEnv {
    std::string workDir;                                    // empty: the test's temp folder
    std::vector<std::pair<std::string, std::string>> vars;  // e.g. {"QAVLINK_COM1", "sim"}
    // CtlChild only: the child's address space limit in bytes (RLIMIT_AS); 0 none.
    unsigned long long memoryLimit = 0;
    bool onlyVars = false;  // nothing of the runner's environment, as `env -i`
};

CtlRun runCtl(const CtlEnv& env, const std::vector<std::string>& args);
// The same as another user and group (through setpriv; the test must run as root). A uid
// below 0 runs it as the test runs.
CtlRun runCtlAs(int uid, int gid, const CtlEnv& env, const std::vector<std::string>& args);

// qavixctl running in the background, for tests that signal it while it works. Killed and
// reaped when it goes, if it is still running.
class CtlChild {
  public:
    CtlChild(const CtlEnv& env, const std::vector<std::string>& args);
    ~CtlChild();
    CtlChild(const CtlChild&) = delete;
    CtlChild& operator=(const CtlChild&) = delete;

    bool started() const { return m_pid > 0; }
    void signal(int number) const;
    // Waits for the end, at most `limit`. exitCode is -1 when it was ended by a signal (the
    // signal's number is then in `signal`) or had to be killed after the limit.
    CtlRun wait(std::chrono::milliseconds limit);
    int endSignal() const { return m_signal; }

  private:
    pid_t m_pid = -1;
    int m_signal = 0;
    std::string m_base;
};

// A fresh, empty folder for one test, removed with everything in it when the test ends.
std::string makeTempDir(const std::string& name);
// Removes the folders of makeTempDir now (done after every test anyway).
void removeTempDirs();

std::string readBytes(const std::string& path);
std::vector<std::string> lines(const std::string& text);
// How often `part` stands in `text` (a message said once, not on every cycle).
size_t occurrences(const std::string& text, const std::string& part);

}  // namespace qavix::cli::test
