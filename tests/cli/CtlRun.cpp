#include "CtlRun.h"

namespace qavix::clitest {

CtlRun qavixctl(const std::vector<std::string>& args,
                const std::vector<std::pair<std::string, std::string>>& environment) {
    qavix::test::CtlEnv env;
    env.vars = environment;
    return qavix::test::runCtl(env, args);
}

std::string data(const char* name) {
    return std::string(QAVIX_CLI_TEST_DATA) + "/" + name;
}

}  // namespace qavix::clitest
