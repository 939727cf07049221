#include "comm/ThreadPriority.h"

#include <pthread.h>

namespace qavix {

bool ThreadPriorityBoost::raise() {
    if (m_raised) {
        return true;
    }
    if (pthread_getschedparam(pthread_self(), &m_policy, &m_param) != 0) {
        return false;
    }
    // The lowest round-robin priority already runs ahead of every ordinary thread; going
    // higher would only compete with the system's own real-time threads.
    sched_param boosted{};
    boosted.sched_priority = sched_get_priority_min(SCHED_RR);
    m_raised = pthread_setschedparam(pthread_self(), SCHED_RR, &boosted) == 0;
    return m_raised;
}

void ThreadPriorityBoost::restore() {
    if (!m_raised) {
        return;
    }
    pthread_setschedparam(pthread_self(), m_policy, &m_param);
    m_raised = false;
}

}  // namespace qavix
