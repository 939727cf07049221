#include "history/HookProcess.h"
#include "Translate.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace qavix::history {

namespace {

using Clock = std::chrono::steady_clock;

// Without a pidfd (an old kernel) the end of the hook is looked for this often.
constexpr int kWaitSliceMs = 20;

// The caller's environment with `set` replacing variables of the same names.
std::vector<std::string> hookEnvironment(
    const std::vector<std::pair<std::string, std::string>>& set) {
    std::vector<std::string> env;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& [key, value] : set) {
            replaced = replaced || key == name;
        }
        if (!replaced) {
            env.push_back(entry);
        }
    }
    for (const auto& [key, value] : set) {
        env.push_back(key + "=" + value);
    }
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (std::string& s : strings) {
        list.push_back(s.data());
    }
    list.push_back(nullptr);
    return list;
}

// Signals back at their defaults and none blocked in the hook, whatever the caller set for
// itself (the fleet run blocks SIGINT and SIGTERM in its threads).
bool spawnAttributes(posix_spawnattr_t& attr) {
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    return posix_spawnattr_init(&attr) == 0 &&
           posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                               POSIX_SPAWN_SETSIGDEF) == 0 &&
           posix_spawnattr_setpgroup(&attr, 0) == 0 &&
           posix_spawnattr_setsigmask(&attr, &none) == 0 &&
           posix_spawnattr_setsigdefault(&attr, &all) == 0;
}

class Child {
  public:
    // glibc 2.36's <sys/pidfd.h> declares pidfd_open without C linkage, so the call goes
    // through syscall().
    explicit Child(pid_t pid)
        : m_pid(pid), m_pidfd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {}
    ~Child() {
        if (m_pidfd >= 0) {
            close(m_pidfd);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Feeds `input` to `fd` while waiting for the end, at most until `deadline`. True when
    // the hook ended; `status` is then its wait status.
    bool wait(int& fd, const std::string& input, Clock::time_point deadline, int& status) {
        size_t written = 0;
        while (true) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                return true;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return false;
            }
            pollfd fds[2] = {};
            nfds_t count = 0;
            if (m_pidfd >= 0) {
                fds[count++] = {m_pidfd, POLLIN, 0};
            }
            if (fd >= 0) {
                fds[count++] = {fd, POLLOUT, 0};
            }
            const int slice = m_pidfd >= 0
                                  ? static_cast<int>(left.count())
                                  : std::min<int>(kWaitSliceMs, static_cast<int>(left.count()));
            poll(fds, count, slice);
            if (fd >= 0 && !feed(fd, input, written)) {
                close(fd);
                fd = -1;  // all written, or the hook closed its input: it sees the end
            }
        }
    }

    void signalGroup(int signal) const { kill(-m_pid, signal); }

    int reap() const {
        int status = 0;
        waitpid(m_pid, &status, 0);
        return status;
    }

  private:
    // False when there is nothing more to write.
    static bool feed(int fd, const std::string& input, size_t& written) {
        while (written < input.size()) {
            const ssize_t n = write(fd, input.data() + written, input.size() - written);
            if (n > 0) {
                written += static_cast<size_t>(n);
                continue;
            }
            return n < 0 && (errno == EAGAIN || errno == EINTR);
        }
        return false;
    }

    pid_t m_pid;
    int m_pidfd;
};

// A hook that stops reading its input must not end the caller through SIGPIPE: the signal
// is held in this thread while the hook runs, and one that came is taken away after.
class PipeSignalHold {
  public:
    PipeSignalHold() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, &m_previous);
    }
    ~PipeSignalHold() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        timespec none{};
        while (sigtimedwait(&pipe, nullptr, &none) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    PipeSignalHold(const PipeSignalHold&) = delete;
    PipeSignalHold& operator=(const PipeSignalHold&) = delete;

  private:
    sigset_t m_previous{};
};

HookRun ended(int status) {
    HookRun run;
    if (WIFEXITED(status)) {
        run.end = HookRun::End::Exited;
        run.code = WEXITSTATUS(status);
    } else {
        run.end = HookRun::End::Signalled;
        run.code = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return run;
}

}  // namespace

HookRun runHook(const std::vector<std::string>& command,
                const std::vector<std::pair<std::string, std::string>>& environment,
                const std::string& input, std::chrono::milliseconds timeout) {
    HookRun run;
    if (command.empty() || command[0].empty()) {
        run.error = QX_("コマンドがありません");
        return run;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        run.error = std::strerror(errno);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[0], STDIN_FILENO);
    posix_spawnattr_t attr;
    const bool attrOk = spawnAttributes(attr);
    std::vector<std::string> args = command;
    std::vector<std::string> env = hookEnvironment(environment);
    std::vector<char*> argv = pointers(args);
    std::vector<char*> envp = pointers(env);
    PipeSignalHold hold;
    pid_t pid = -1;
    const int spawned =
        attrOk ? posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), envp.data()) : EINVAL;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    close(pipeFds[0]);
    if (spawned != 0) {
        close(pipeFds[1]);
        run.error = std::strerror(spawned);
        return run;
    }
    int fd = pipeFds[1];
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    Child child(pid);
    int status = 0;
    const bool done = child.wait(fd, input, Clock::now() + timeout, status);
    if (fd >= 0) {
        close(fd);
    }
    if (done) {
        return ended(status);
    }
    child.signalGroup(SIGTERM);
    int unused = -1;
    if (!child.wait(unused, {}, Clock::now() + kHookKillGrace, status)) {
        child.signalGroup(SIGKILL);
        child.reap();
    }
    run.end = HookRun::End::TimedOut;
    return run;
}

std::string describeHookRun(const HookRun& run, std::chrono::milliseconds timeout) {
    switch (run.end) {
        case HookRun::End::Exited:
            return i18n::fill(QX_("終了コード %1"), {std::to_string(run.code)});
        case HookRun::End::Signalled:
            return i18n::fill(QX_("シグナル %1 で終了"), {std::to_string(run.code)});
        case HookRun::End::TimedOut: {
            const auto seconds = std::chrono::duration<double>(timeout).count();
            char text[32];
            std::snprintf(text, sizeof text, "%g", seconds);
            return i18n::fill(QX_("制限時間 %1 秒を過ぎたため強制終了"), {text});
        }
        case HookRun::End::NotStarted:
            break;
    }
    return i18n::fill(QX_("起動できません: %1"), {run.error});
}

}  // namespace qavix::history
