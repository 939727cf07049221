#include "CtlProcess.h"

#include <algorithm>
#include <iterator>

#include "TempDir.h"

namespace qavix::test {

namespace {

// qavixctl records every write in the change journal of the user's state folder; a test's
// records go to a folder of this test program's, removed when it ends, unless it names one.
std::vector<std::pair<std::string, std::string>> withStateFolder(const CtlEnv& env) {
    static const TempDir stateFolder;
    std::vector<std::pair<std::string, std::string>> vars = env.vars;
    const bool named = std::any_of(vars.begin(), vars.end(),
                                   [](const auto& var) { return var.first == "XDG_STATE_HOME"; });
    if (!named) {
        vars.emplace_back("XDG_STATE_HOME", stateFolder.str());
    }
    return vars;
}

ProcessSetup setupFor(const CtlEnv& env) {
    ProcessSetup setup;
    setup.workDir = env.workDir;
    setup.env = withStateFolder(env);
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
