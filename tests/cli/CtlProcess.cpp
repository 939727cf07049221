#include "CtlProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace qavix::cli::test {

namespace {

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

// Every folder a test asks for lives under one folder of this process, removed when the
// test ends, so that runs leave nothing behind in the temporary folder.
const std::filesystem::path& processRoot() {
    static const std::filesystem::path root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "qavixctl-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return std::filesystem::path(pattern);
    }();
    return root;
}

bool g_rootUsed = false;

class RemoveTestFolders : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { removeTempDirs(); }
    void OnTestProgramEnd(const ::testing::UnitTest&) override {
        if (g_rootUsed) {
            std::error_code ec;
            std::filesystem::remove_all(processRoot(), ec);
        }
    }
};

[[maybe_unused]] const bool g_listenerAdded = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new RemoveTestFolders);
    return true;
}();

// Every qavixctl run records its writes in the change journal of the user's state folder;
// a test's go to a folder of this process's, removed with the others, unless it names one.
std::vector<std::pair<std::string, std::string>> withStateFolder(const CtlEnv& env) {
    std::vector<std::pair<std::string, std::string>> vars = env.vars;
    for (const auto& var : vars) {
        if (var.first == "XDG_STATE_HOME") {
            return vars;
        }
    }
    g_rootUsed = true;
    vars.emplace_back("XDG_STATE_HOME", (processRoot() / "state").string());
    return vars;
}

}  // namespace

std::string makeTempDir(const std::string& name) {
    g_rootUsed = true;
    const std::filesystem::path dir = processRoot() / name;
    std::filesystem::create_directories(dir);
    return dir.string();
}

void removeTempDirs() {
    if (!g_rootUsed) {
        return;
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(processRoot(), ec)) {
        std::filesystem::remove_all(entry.path(), ec);
    }
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

CtlRun runCtl(const CtlEnv& env, const std::vector<std::string>& args) {
    return runCtlAs(-1, -1, env, args);
}

CtlRun runCtlAs(int uid, int gid, const CtlEnv& env, const std::vector<std::string>& args) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string dir =
        env.workDir.empty() ? makeTempDir(std::string(info->name()) + "-run") : env.workDir;
    const std::string base = dir + "/.qavixctl";
    std::string command = "cd " + quoted(dir) + " && env";
    if (env.onlyVars) {
        command += " -i";
    }
    for (const char* variable : kLanguageVariables) {
        command += std::string(" -u ") + variable;
    }
    for (const auto& [name, value] : withStateFolder(env)) {
        command += " " + quoted(name + "=" + value);
    }
    if (uid >= 0) {
        command += " setpriv --reuid=" + std::to_string(uid) + " --regid=" + std::to_string(gid) +
                   " --clear-groups";
    }
    command += " " + quoted(QAVIXCTL);
    for (const std::string& a : args) {
        command += " " + quoted(a);
    }
    command += " >" + quoted(base + ".out") + " 2>" + quoted(base + ".err");
    const int status = std::system(command.c_str());
    CtlRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readBytes(base + ".out");
    run.err = readBytes(base + ".err");
    std::filesystem::remove(base + ".out");
    std::filesystem::remove(base + ".err");
    return run;
}

CtlChild::CtlChild(const CtlEnv& env, const std::vector<std::string>& args) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string dir =
        env.workDir.empty() ? makeTempDir(std::string(info->name()) + "-child") : env.workDir;
    m_base = dir + "/.qavixctl-child";
    // Everything the child needs is made before the fork: after it only system calls run.
    std::vector<std::string> argv{QAVIXCTL};
    argv.insert(argv.end(), args.begin(), args.end());
    const std::vector<std::pair<std::string, std::string>> vars = withStateFolder(env);
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr && !env.onlyVars; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& var : vars) {
            replaced = replaced || var.first == name;
        }
        for (const char* variable : kLanguageVariables) {
            replaced = replaced || name == variable;
        }
        if (!replaced) {
            environment.push_back(entry);
        }
    }
    for (const auto& [name, value] : vars) {
        environment.push_back(name + "=" + value);
    }
    std::vector<char*> argPointers;
    for (std::string& a : argv) {
        argPointers.push_back(a.data());
    }
    argPointers.push_back(nullptr);
    std::vector<char*> envPointers;
    for (std::string& e : environment) {
        envPointers.push_back(e.data());
    }
    envPointers.push_back(nullptr);
    const std::string outPath = m_base + ".out";
    const std::string errPath = m_base + ".err";
    m_pid = ::fork();
    if (m_pid != 0) {
        return;
    }
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(err, STDERR_FILENO) < 0 ||
        ::chdir(dir.c_str()) != 0) {
        ::_exit(127);
    }
    const rlimit memory{env.memoryLimit, env.memoryLimit};
    if (env.memoryLimit > 0 && ::setrlimit(RLIMIT_AS, &memory) != 0) {
        ::_exit(127);
    }
    ::execve(QAVIXCTL, argPointers.data(), envPointers.data());
    ::_exit(127);
}

CtlChild::~CtlChild() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    std::filesystem::remove(m_base + ".out");
    std::filesystem::remove(m_base + ".err");
}

void CtlChild::signal(int number) const {
    if (m_pid > 0) {
        ::kill(m_pid, number);
    }
}

CtlRun CtlChild::wait(std::chrono::milliseconds limit) {
    CtlRun run;
    if (m_pid <= 0) {
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    pid_t ended = 0;
    while ((ended = ::waitpid(m_pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ended == 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
    if (ended != 0 && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        m_signal = WTERMSIG(status);
    }
    run.out = readBytes(m_base + ".out");
    run.err = readBytes(m_base + ".err");
    return run;
}

}  // namespace qavix::cli::test
