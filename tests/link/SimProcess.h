#pragma once
// A qavix-sim child process serving a pseudo-terminal for one test.

#include <sys/types.h>

#include <string>
#include <vector>

namespace qavix::link::test {

class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& options);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The slave device the emulator printed; empty when it did not start.
    const std::string& device() const { return m_device; }
    // Ends the emulator at once, as a pulled cable would end the line.
    void kill();
    // Holds the emulator where it is (SIGSTOP) or lets it go on (SIGCONT): a request it has
    // taken but not answered stays in flight meanwhile.
    void pause(bool held);

  private:
    pid_t m_pid = -1;
    int m_stdin = -1;  // closing it asks the emulator to end
    std::string m_device;
};

}  // namespace qavix::link::test
