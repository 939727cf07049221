#pragma once
// Ctrl+C and SIGTERM as the user's own cancel of a long-running command: every device
// command (through DeviceSession), the fleet commands and monitor. They set a flag that the
// command polls or waits on; the connection asks it before each request, so the request in
// flight finishes and no further one is sent. Worker threads (the link's, the fleet's) must
// not take them (an interrupted read would count as a failed request): they are held off the
// calling thread from construction, so the threads started meanwhile inherit the block, and
// only that thread takes them once listen() is called, including any that came meanwhile.
// Everything is restored when the object goes; a signal still pending then counts as a stop
// rather than ending the program half-way through what it was promised to finish.

#include <signal.h>

#include <chrono>

namespace qavix::cli {

class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // From now on Ctrl+C and SIGTERM reach this thread and ask the command to stop.
    void listen();

  private:
    struct sigaction m_interrupt {};
    struct sigaction m_terminate {};
    sigset_t m_mask{};
};

// Whether Ctrl+C or SIGTERM came since the StopSignals in use was made.
bool stopRequested();

// Waits up to `duration` and returns stopRequested(): at once when a stop comes meanwhile,
// so a command that sleeps between its steps answers Ctrl+C without waking to look.
bool waitForStop(std::chrono::milliseconds duration);

}  // namespace qavix::cli
