#include "CtlProcess.h"

#include <iterator>

namespace qavix::test {

namespace {

ProcessSetup setupFor(const CtlEnv& env) {
    ProcessSetup setup;
    setup.workDir = env.workDir;
    setup.env = env.vars;
    setup.clearEnv = env.onlyVars;
    setup.unset.assign(std::begin(kLanguageVariables), std::end(kLanguageVariables));
    setup.memoryLimit = env.memoryLimit;
    setup.outFile = env.outFile;
    setup.errFile = env.errFile;
    return setup;
}

}  // namespace

CtlRun runCtl(const CtlEnv& env, const std::vector<std::string>& args) {
    return runCtlAs(-1, -1, env, args);
}

CtlRun runCtlAs(int uid, int gid, const CtlEnv& env, const std::vector<std::string>& args) {
    std::vector<std::string> argv;
    if (uid >= 0) {
        argv = {"setpriv", "--reuid=" + std::to_string(uid), "--regid=" + std::to_string(gid),
                "--clear-groups"};
    }
    argv.push_back(QAVIXCTL);
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, setupFor(env), kCtlLimit);
}

CtlChild::CtlChild(const CtlEnv& env, const std::vector<std::string>& args)
    : ChildProcess(
          [&] {
              std::vector<std::string> argv{QAVIXCTL};
              argv.insert(argv.end(), args.begin(), args.end());
              return argv;
          }(),
          setupFor(env)) {}

}  // namespace qavix::test
