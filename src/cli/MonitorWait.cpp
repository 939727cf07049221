#include "MonitorWait.h"

#include <signal.h>

#include <cerrno>
#include <ctime>

#include "StopSignals.h"

namespace qavix::cli {

short waitUntil(MonitorClock::time_point until, int fd, short events) {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigset_t open;
    pthread_sigmask(SIG_BLOCK, &stops, &open);
    short ready = 0;
    const auto left = until - MonitorClock::now();
    if (!stopRequested() && left > MonitorClock::duration::zero()) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec timeout{};
        timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
        timeout.tv_nsec = static_cast<long>(ns % 1000000000);
        pollfd p{fd, events, 0};
        // The mask the caller had: the stop signals come in here and only here.
        if (::ppoll(&p, fd >= 0 ? 1 : 0, &timeout, &open) > 0) {
            ready = p.revents;
        }
    }
    pthread_sigmask(SIG_SETMASK, &open, nullptr);
    return ready;
}

}  // namespace qavix::cli
