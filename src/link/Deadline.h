#pragma once
// Every wait of the transports ends at a deadline the caller chose, never after it: the
// time left is worked out here, once, and so is the wait on a descriptor.

#include <poll.h>

#include <chrono>
#include <ctime>

namespace qavix::link {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline`, rounded up so that a wait never ends just before it;
// 0 once it has passed. Never negative: poll() takes a negative time-out as "for ever".
int millisecondsLeft(Clock::time_point deadline);

// The time left as a relative timespec, for waits that take one (0 once passed).
timespec timeLeft(Clock::time_point deadline);

// Whether a deadline is the one of a wait that may still go on.
inline bool passed(Clock::time_point deadline) {
    return Clock::now() >= deadline;
}

// poll() on one descriptor until the deadline: a signal that interrupts the wait resumes it
// with the time then left. The result is poll's: above 0 with pfd.revents set, 0 when the
// deadline came first, -1 with errno when the wait itself failed.
int pollUntil(pollfd& pfd, Clock::time_point deadline);

}  // namespace qavix::link
