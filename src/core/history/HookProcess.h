#pragma once
// Runs a hook: a program and its arguments as a list, never a shell line, so that nothing in
// a controller's name or a field value can become a command. It gets the caller's
// environment with some variables set, its standard input from a text, the caller's output
// and error streams, and a process group of its own, which is ended (SIGTERM, then SIGKILL)
// when the hook outlives its time.

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace qavix::history {

struct HookRun {
    enum class End { Exited, Signalled, TimedOut, NotStarted };
    End end = End::NotStarted;
    int code = 0;       // exit status or signal number
    std::string error;  // why it did not start
    bool ok() const { return end == End::Exited && code == 0; }
};

// After SIGTERM at the time-out, the hook's group has this long before SIGKILL.
constexpr std::chrono::milliseconds kHookKillGrace{2000};

HookRun runHook(const std::vector<std::string>& command,
                const std::vector<std::pair<std::string, std::string>>& environment,
                const std::string& input, std::chrono::milliseconds timeout);

// "exit 0", "exit 3", "ended by signal 11", "killed after its time-out of 30 s", "could not
// start: No such file or directory".
std::string describeHookRun(const HookRun& run, std::chrono::milliseconds timeout);

}  // namespace qavix::history
