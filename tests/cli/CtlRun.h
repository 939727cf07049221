#pragma once
// Running the built qavixctl as a user does: a separate process, its standard output, error
// and exit code.

#include <string>
#include <vector>

namespace qavix::clitest {

struct CtlRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs qavixctl with `args`; `environment` ("NAME=value ...") is put before the command.
CtlRun qavixctl(const std::vector<std::string>& args, const std::string& environment = {});

// A hand-written bank file of tests/cli/data.
std::string data(const char* name);

// The whole file, or "" when it cannot be read.
std::string slurp(const std::string& path);

}  // namespace qavix::clitest
