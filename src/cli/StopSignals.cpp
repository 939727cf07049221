#include "StopSignals.h"

#include <poll.h>
#include <pthread.h>

#include <atomic>
#include <ctime>

namespace qavix::cli {

namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onStopSignal(int) {
    g_stop.store(true);
}

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

StopSignals::StopSignals() {
    g_stop.store(false);
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, &m_mask);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &m_interrupt);
    sigaction(SIGTERM, &action, &m_terminate);
}

StopSignals::~StopSignals() {
    // Held off again before the old handlers return, and what came meanwhile taken here,
    // so that a late Ctrl+C cannot end the process half-way through the restore.
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    const timespec none{};
    while (sigtimedwait(&set, nullptr, &none) > 0) {
        g_stop.store(true);
    }
    sigaction(SIGINT, &m_interrupt, nullptr);
    sigaction(SIGTERM, &m_terminate, nullptr);
    pthread_sigmask(SIG_SETMASK, &m_mask, nullptr);
}

void StopSignals::listen() {
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool stopRequested() {
    return g_stop.load();
}

short waitUntil(StopClock::time_point until, int fd, short events) {
    const sigset_t stops = stopSignals();
    sigset_t open;
    pthread_sigmask(SIG_BLOCK, &stops, &open);
    short ready = 0;
    const auto left = until - StopClock::now();
    if (!stopRequested() && left > StopClock::duration::zero()) {
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

bool waitForStop(std::chrono::milliseconds duration) {
    const auto until = StopClock::now() + duration;
    while (!stopRequested() && StopClock::now() < until) {
        waitUntil(until);
    }
    return stopRequested();
}

}  // namespace qavix::cli
