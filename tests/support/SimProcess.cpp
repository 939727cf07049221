#include "SimProcess.h"

#include <signal.h>

#include "WaitUntil.h"

namespace qavix::test {

namespace {

constexpr auto kStartWait = std::chrono::seconds(5);
constexpr auto kExitWait = std::chrono::seconds(2);

std::vector<std::string> simCommand(const std::vector<std::string>& options) {
    std::vector<std::string> argv{QAVIX_SIM_PATH};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
}

ProcessSetup withInput() {
    ProcessSetup setup;
    setup.inputPipe = true;  // closing it asks the emulator to end
    return setup;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& options)
    : m_process(simCommand(options), withInput()) {
    std::string out;
    const bool printed = waitUntil(
        [&] {
            out = m_process.out();
            return out.find('\n') != std::string::npos || !m_process.running();
        },
        kStartWait);
    if (printed && out.find('\n') != std::string::npos) {
        m_device = out.substr(0, out.find('\n'));
    }
}

SimProcess::~SimProcess() {
    stop();
}

void SimProcess::stop() {
    m_process.closeInput();
    m_process.wait(kExitWait);
}

void SimProcess::kill() {
    m_process.signal(SIGKILL);
    m_process.wait(kExitWait);
}

void SimProcess::pause(bool held) {
    m_process.signal(held ? SIGSTOP : SIGCONT);
}

}  // namespace qavix::test
