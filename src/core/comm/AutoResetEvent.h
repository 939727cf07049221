#pragma once
// An event that wakes one waiter and resets itself, as the request/done hand-over between
// the user-interface thread and the worker needs.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace qavix {

class AutoResetEvent {
  public:
    void set() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_signalled = true;
        }
        m_cv.notify_one();
    }

    // True when the event was signalled within `timeout`; the signal is consumed.
    bool wait(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_cv.wait_for(lock, timeout, [this] { return m_signalled; })) {
            return false;
        }
        m_signalled = false;
        return true;
    }

    void reset() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = false;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_signalled = false;
};

}  // namespace qavix
