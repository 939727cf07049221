#include "StopSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

namespace qavix::cli {

namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
// The write end wakes waitForStop; -1 while no StopSignals exists.
std::atomic<int> g_wakeWrite{-1};
std::atomic<int> g_wakeRead{-1};

extern "C" void onStopSignal(int) {
    const int saved = errno;
    g_stop.store(true);
    if (const int fd = g_wakeWrite.load(); fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
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
    // Non-blocking both ways: the handler must never wait, and the pipe only has to be
    // readable once a stop has come.
    int wake[2] = {-1, -1};
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
        g_wakeRead.store(wake[0]);
        g_wakeWrite.store(wake[1]);
    }
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
    ::close(g_wakeWrite.exchange(-1));
    ::close(g_wakeRead.exchange(-1));
}

void StopSignals::listen() {
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool stopRequested() {
    return g_stop.load();
}

bool waitForStop(std::chrono::milliseconds duration) {
    const int fd = g_wakeRead.load();
    if (stopRequested() || duration.count() <= 0) {
        return stopRequested();
    }
    if (fd < 0) {
        std::this_thread::sleep_for(duration);
        return stopRequested();
    }
    // A signal taken by this very thread interrupts the poll; its byte is in the pipe by
    // then, so the poll either sees it or returns early, and the flag decides.
    const auto until = std::chrono::steady_clock::now() + duration;
    while (!stopRequested()) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd pfd{fd, POLLIN, 0};
        ::poll(&pfd, 1, static_cast<int>(left.count()));
    }
    return stopRequested();
}

}  // namespace qavix::cli
