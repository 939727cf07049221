#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "FileText.h"

extern char** environ;

namespace qavix::test {

namespace {

std::vector<std::string> environmentFor(const ProcessSetup& setup) {
    auto replaced = [&](const std::string& name) {
        return std::find(setup.unset.begin(), setup.unset.end(), name) != setup.unset.end() ||
               std::any_of(setup.env.begin(), setup.env.end(),
                           [&](const auto& var) { return var.first == name; });
    };
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr && !setup.clearEnv; ++e) {
        const std::string entry(*e);
        if (!replaced(entry.substr(0, entry.find('=')))) {
            environment.push_back(entry);
        }
    }
    for (const auto& [name, value] : setup.env) {
        environment.push_back(name + "=" + value);
    }
    return environment;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& t : texts) {
        result.push_back(t.data());
    }
    result.push_back(nullptr);
    return result;
}

}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> argv, ProcessSetup setup)
    : m_outFile(setup.outFile.empty() ? m_files.file("out") : setup.outFile),
      m_errFile(setup.errFile.empty() ? m_files.file("err") : setup.errFile) {
    if (argv.empty()) {
        return;
    }
    // Everything the child needs is made before the fork: after it only system calls run.
    std::vector<std::string> environment = environmentFor(setup);
    std::vector<char*> args = pointers(argv);
    std::vector<char*> envs = pointers(environment);
    int input[2] = {-1, -1};
    if (setup.inputPipe && ::pipe2(input, O_CLOEXEC) != 0) {
        return;
    }
    std::error_code ec;
    const std::string workDir = setup.workDir.empty() ? m_files.file("work") : setup.workDir;
    if (setup.workDir.empty()) {
        std::filesystem::create_directory(workDir, ec);
    }
    const rlimit memory{setup.memoryLimit, setup.memoryLimit};
    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid != 0) {
        if (input[0] >= 0) {
            ::close(input[0]);
            m_input = input[1];
        }
        return;
    }
    // Its own process group, so that nothing it starts outlives a kill; and it dies with
    // the test should the test die first.
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(127);
    }
    const int in = input[0] >= 0 ? input[0] : ::open("/dev/null", O_RDONLY);
    const int out = ::open(m_outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(m_errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, STDIN_FILENO) < 0 ||
        ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(err, STDERR_FILENO) < 0 ||
        ::chdir(workDir.c_str()) != 0 ||
        (setup.memoryLimit > 0 && ::setrlimit(RLIMIT_AS, &memory) != 0)) {
        ::_exit(127);
    }
    ::execvpe(args[0], args.data(), envs.data());
    ::_exit(127);
}

ChildProcess::~ChildProcess() {
    closeInput();
    if (m_pid > 0) {
        ::kill(-m_pid, SIGKILL);
        if (!m_reaped) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
}

void ChildProcess::reap(int status) {
    m_reaped = true;
    m_status = status;
}

bool ChildProcess::running() {
    if (m_pid <= 0 || m_reaped) {
        return false;
    }
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        reap(status);
        return false;
    }
    return true;
}

void ChildProcess::signal(int number) {
    if (running()) {
        ::kill(m_pid, number);
    }
}

void ChildProcess::closeInput() {
    if (m_input >= 0) {
        ::close(m_input);
        m_input = -1;
    }
}

ProcessResult ChildProcess::wait(std::chrono::milliseconds limit) {
    ProcessResult result;
    if (m_pid <= 0) {
        return result;
    }
    const auto until = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (running()) {
        result.timedOut = true;
        ::kill(-m_pid, SIGKILL);
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        reap(status);
    }
    if (!result.timedOut && WIFEXITED(m_status)) {
        result.exitCode = WEXITSTATUS(m_status);
    } else if (WIFSIGNALED(m_status)) {
        result.signal = WTERMSIG(m_status);
    }
    result.out = out();
    result.err = err();
    return result;
}

std::string ChildProcess::out() const {
    return readBytes(m_outFile);
}

std::string ChildProcess::err() const {
    return readBytes(m_errFile);
}

ProcessResult runProcess(std::vector<std::string> argv, ProcessSetup setup,
                         std::chrono::milliseconds limit) {
    ChildProcess child(std::move(argv), std::move(setup));
    return child.wait(limit);
}

}  // namespace qavix::test
