#pragma once
// Short forms for the offline bank-file tests: qavixctl run in its own process on the
// hand-written files of tests/cli/data (CtlProcess.h does the running).

#include <string>
#include <utility>
#include <vector>

#include "CtlProcess.h"
#include "FileText.h"

namespace qavix::clitest {

using qavix::test::CtlRun;

// Runs qavixctl with `args` and extra environment variables.
CtlRun qavixctl(const std::vector<std::string>& args,
                const std::vector<std::pair<std::string, std::string>>& environment = {});

// A hand-written bank file of tests/cli/data.
std::string data(const char* name);

// The whole file, or "" when it cannot be read.
inline std::string slurp(const std::string& path) {
    return qavix::test::readBytes(path);
}

}  // namespace qavix::clitest
