#pragma once
// The monitor's one way to wait: until a moment, a socket's readiness or Ctrl+C / SIGTERM,
// whichever comes first. The stop signals are let in only inside the wait itself (ppoll),
// so one that comes just before it ends the wait at once instead of after a whole interval;
// an idle monitor so sleeps until it has something to do, never in short slices.

#include <poll.h>

#include <chrono>

namespace qavix::cli {

using MonitorClock = std::chrono::steady_clock;

// The events of `events` that `fd` is ready for (POLLERR and POLLHUP included), or 0 when
// the moment came, a stop signal did or `fd` is negative and there is only the moment.
short waitUntil(MonitorClock::time_point until, int fd = -1, short events = 0);

}  // namespace qavix::cli
