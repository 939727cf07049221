#pragma once
// Ctrl+C and SIGTERM as the user's own cancel of a device command: the request in progress
// finishes, no further one is sent, a write given up half-way is reset out of setting mode,
// and the command ends with kExitInterrupted.

#include <signal.h>

namespace qavix::cli {

// While it lives the two signals only mark the command interrupted. From construction until
// listen() they are held off the calling thread, so the threads started meanwhile (the
// link's worker and whatever the link library starts) inherit the block and never take
// one; listen() then lets this thread take them, including any that came meanwhile.
// Everything is restored when it goes.
class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    void listen();

  private:
    struct sigaction m_interrupt {};
    struct sigaction m_terminate {};
    sigset_t m_mask{};
};

// Whether Ctrl+C or SIGTERM came since the guard was made.
bool interrupted();

}  // namespace qavix::cli
