#include "StopSignals.h"

#include <pthread.h>

#include <atomic>

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
    // Held off again before the old handlers return, so a late Ctrl+C cannot end the
    // process half-way through the restore; it stays pending under the caller's own mask.
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
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

}  // namespace qavix::cli
