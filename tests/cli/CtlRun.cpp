#include "CtlRun.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qavix::clitest {

namespace {

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

}  // namespace

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

CtlRun qavixctl(const std::vector<std::string>& args, const std::string& environment) {
    const std::string base = ::testing::TempDir() + "qavixctl-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string command = environment.empty() ? std::string() : environment + " ";
    command += quoted(QAVIXCTL);
    for (const std::string& a : args) {
        command += " " + quoted(a);
    }
    command += " >" + quoted(base + ".out") + " 2>" + quoted(base + ".err");
    const int status = std::system(command.c_str());
    CtlRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = slurp(base + ".out");
    run.err = slurp(base + ".err");
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return run;
}

std::string data(const char* name) {
    return std::string(QAVIX_CLI_TEST_DATA) + "/" + name;
}

}  // namespace qavix::clitest
