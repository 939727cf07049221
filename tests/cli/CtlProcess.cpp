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

}  // namespace

std::string makeTempDir(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) /
                                      ("qavixctl-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
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
