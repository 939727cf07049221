#include "CtlProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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

CtlRun runCtl(const CtlEnv& env, const std::vector<std::string>& args) {
    return runCtlAs(-1, -1, env, args);
}

CtlRun runCtlAs(int uid, int gid, const CtlEnv& env, const std::vector<std::string>& args) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string dir =
        env.workDir.empty() ? makeTempDir(std::string(info->name()) + "-run") : env.workDir;
    const std::string base = dir + "/.qavixctl";
    std::string command = "cd " + quoted(dir) + " && env";
    for (const auto& [name, value] : env.vars) {
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

}  // namespace qavix::cli::test
