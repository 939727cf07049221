#pragma once
// Ctrl+C and SIGTERM as the user's own cancel of a command that talks to the controller:
// they set a flag the command polls (and the connection asks before each request, so the
// request in flight finishes and no further one is sent). The link's worker threads must not
// take them (an interrupted read would count as a failed request): they are held off the
// calling thread from construction, so the threads started meanwhile inherit the block, and
// only that thread takes them once listen() is called, including any that came meanwhile.
// Everything is restored when the object goes.

#include <signal.h>

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

}  // namespace qavix::cli
