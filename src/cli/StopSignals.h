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

#include <poll.h>
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

using StopClock = std::chrono::steady_clock;

// The one wait of a command that Ctrl+C stops: until `until`, until `fd` is ready for
// `events` or until a stop signal, whichever comes first, so an idle command sleeps instead
// of waking in slices to look. The stop signals are let in only inside the wait itself
// (ppoll), so one that came just before it ends the wait at once instead of after it; it is
// called on the thread that listens. The events `fd` is ready for (POLLERR and POLLHUP
// included), or 0 when the moment came, a stop signal did or `fd` is negative.
short waitUntil(StopClock::time_point until, int fd = -1, short events = 0);

// Waits up to `duration` (waitUntil) and returns stopRequested().
bool waitForStop(std::chrono::milliseconds duration);

}  // namespace qavix::cli
