#include "Interruption.h"

#include <pthread.h>

#include <atomic>
#include <csignal>

namespace qavix::cli {

namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onInterrupt(int /*signal*/) {
    g_interrupted.store(true);
}

sigset_t interruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_interrupted.store(false);
    const sigset_t set = interruptSignals();
    pthread_sigmask(SIG_BLOCK, &set, &m_mask);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &m_interrupt);
    sigaction(SIGTERM, &action, &m_terminate);
}

InterruptGuard::~InterruptGuard() {
    // Blocked again before the old handlers return, so a late Ctrl+C cannot end the process
    // half-way through the restore; it stays pending under the caller's own mask.
    const sigset_t set = interruptSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    sigaction(SIGINT, &m_interrupt, nullptr);
    sigaction(SIGTERM, &m_terminate, nullptr);
    pthread_sigmask(SIG_SETMASK, &m_mask, nullptr);
}

void InterruptGuard::listen() {
    const sigset_t set = interruptSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool interrupted() {
    return g_interrupted.load();
}

}  // namespace qavix::cli
