#include "SimProcess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace qavix::link::test {

namespace {

constexpr int kStartTimeoutMs = 5000;
constexpr auto kExitWait = std::chrono::seconds(2);

std::string readFirstLine(int fd) {
    std::string line;
    for (;;) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, kStartTimeoutMs) <= 0) {
            return {};
        }
        char c = 0;
        if (read(fd, &c, 1) != 1) {
            return {};
        }
        if (c == '\n') {
            return line;
        }
        line += c;
    }
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& options) {
    int in[2];
    int out[2];
    if (pipe(in) != 0) {
        return;
    }
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    std::vector<std::string> args{QAVIX_SIM_PATH};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const int rc = posix_spawn(&m_pid, QAVIX_SIM_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    m_stdin = in[1];
    if (rc != 0) {
        m_pid = -1;
        close(out[0]);
        return;
    }
    m_device = readFirstLine(out[0]);
    close(out[0]);
}

void SimProcess::pause(bool held) {
    if (m_pid > 0) {
        ::kill(m_pid, held ? SIGSTOP : SIGCONT);
    }
}

void SimProcess::kill() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

SimProcess::~SimProcess() {
    if (m_stdin >= 0) {
        close(m_stdin);
    }
    if (m_pid <= 0) {
        return;
    }
    const auto until = std::chrono::steady_clock::now() + kExitWait;
    while (std::chrono::steady_clock::now() < until) {
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill();
}

}  // namespace qavix::link::test
