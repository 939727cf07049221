#pragma once
// Ctrl+C and SIGTERM for the long-running commands (levels, monitor). The link's worker
// threads must not take them (an interrupted read would count as a failed request): they are
// blocked from construction, so threads started meanwhile inherit the block, and only the
// main thread takes them once listen() is called. They set a flag the command polls.

#include <signal.h>

namespace qavix::cli {

class StopSignals {
  public:
    StopSignals();
    // From now on Ctrl+C and SIGTERM reach this thread and ask the command to stop.
    void listen();

  private:
    sigset_t m_set{};
};

bool stopRequested();

}  // namespace qavix::cli
