#pragma once
// qavix-sim for one test, serving a pseudo-terminal (or a loopback port with --listen);
// shared by the link, command-line and program tests.

#include <string>
#include <vector>

#include "ChildProcess.h"

namespace qavix::test {

class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& options);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The device the emulator printed ("/dev/pts/N" or "tcp:127.0.0.1:PORT"); empty when it
    // did not start.
    const std::string& device() const { return m_device; }
    pid_t pid() const { return m_process.pid(); }
    // Ends the emulator the polite way: its input closes.
    void stop();
    // Ends the emulator at once, as a pulled cable would end the line.
    void kill();
    // Holds the emulator where it is (SIGSTOP) or lets it go on (SIGCONT): a request it has
    // taken but not answered stays in flight meanwhile.
    void pause(bool held);

  private:
    ChildProcess m_process;
    std::string m_device;
};

}  // namespace qavix::test
