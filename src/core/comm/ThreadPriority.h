#pragma once
// Raises the calling thread's scheduling priority for a stretch of time-critical work and
// puts it back afterwards. Best effort: without the privilege the raise is refused and the
// thread simply keeps its priority.

#include <sched.h>

namespace qavix {

class ThreadPriorityBoost {
  public:
    ThreadPriorityBoost() = default;
    ~ThreadPriorityBoost() { restore(); }
    ThreadPriorityBoost(const ThreadPriorityBoost&) = delete;
    ThreadPriorityBoost& operator=(const ThreadPriorityBoost&) = delete;

    // True when the raise took effect. Calling it again while raised does nothing.
    bool raise();
    // Back to the policy and priority saved by raise().
    void restore();
    bool raised() const { return m_raised; }

  private:
    bool m_raised = false;
    int m_policy = SCHED_OTHER;
    sched_param m_param{};
};

}  // namespace qavix
