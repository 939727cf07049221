#pragma once
// A program run by a test as a user runs it: its own process (and process group), working
// folder and environment, output and errors in files, ended by a signal or its own exit and
// waited for with a bound. It dies with the test process, and is killed with whatever it
// started when the object goes, so nothing stays running.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "TempDir.h"

namespace qavix::test {

struct ProcessSetup {
    std::string workDir;                                   // empty: a fresh folder
    std::vector<std::pair<std::string, std::string>> env;  // set, replacing inherited ones
    std::vector<std::string> unset;                        // removed from the environment
    bool clearEnv = false;                                 // nothing inherited: only `env`
    unsigned long long memoryLimit = 0;                    // RLIMIT_AS in bytes; 0 none
    bool inputPipe = false;  // standard input a pipe the test holds (closeInput), else empty
    std::string outFile;     // empty: a file of the process's own
    std::string errFile;
};

struct ProcessResult {
    int exitCode = -1;      // -1 when ended by a signal or still running at the limit
    int signal = 0;         // the signal that ended it
    bool timedOut = false;  // still running at the limit, then killed
    std::string out;
    std::string err;
};

class ChildProcess {
  public:
    // argv[0] is a path or a program found on PATH.
    explicit ChildProcess(std::vector<std::string> argv, ProcessSetup setup = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    bool running();
    void signal(int number);
    // Ends its standard input (inputPipe): a program reading it sees the end.
    void closeInput();
    // Waits for the end, at most `limit`; a process still running then is killed.
    ProcessResult wait(std::chrono::milliseconds limit);
    // What it wrote so far.
    std::string out() const;
    std::string err() const;

  private:
    void reap(int status);

    TempDir m_files;
    std::string m_outFile;
    std::string m_errFile;
    pid_t m_pid = -1;
    int m_input = -1;
    bool m_reaped = false;
    int m_status = 0;
};

// Runs to the end (killed after `limit`) and gives the result.
ProcessResult runProcess(std::vector<std::string> argv, ProcessSetup setup = {},
                         std::chrono::milliseconds limit = std::chrono::seconds(60));

}  // namespace qavix::test
