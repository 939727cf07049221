#include "telemetry/Backoff.h"

#include <algorithm>

namespace qavix::telemetry {

Backoff::Backoff(Duration first, Duration longest)
    : m_first(std::max(first, Duration(1))),
      m_longest(std::max(longest, m_first)),
      m_next(m_first) {}

Backoff::Duration Backoff::next() {
    const Duration now = m_next;
    m_next = m_next >= m_longest / 2 ? m_longest : m_next * 2;
    return now;
}

}  // namespace qavix::telemetry
