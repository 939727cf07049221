#include "StopSignals.h"

#include <pthread.h>

#include <atomic>

namespace qavix::cli {

namespace {

std::atomic<bool> g_stop{false};

extern "C" void onStopSignal(int) {
    g_stop.store(true);
}

}  // namespace

StopSignals::StopSignals() {
    sigemptyset(&m_set);
    sigaddset(&m_set, SIGINT);
    sigaddset(&m_set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &m_set, nullptr);
}

void StopSignals::listen() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    pthread_sigmask(SIG_UNBLOCK, &m_set, nullptr);
}

bool stopRequested() {
    return g_stop.load();
}

}  // namespace qavix::cli
