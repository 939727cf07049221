#pragma once
// Waits between attempts at something that failed (a silent controller, a broker that is
// away or refuses the login): doubling from a first wait up to a longest one, and back to
// the first after a success, so a failure never spins and a long outage costs little.

#include <chrono>

namespace qavix::telemetry {

class Backoff {
  public:
    using Duration = std::chrono::milliseconds;

    Backoff(Duration first, Duration longest);

    // The wait before the next attempt; each call doubles the one after, up to the longest.
    Duration next();
    void reset() { m_next = m_first; }
    Duration peek() const { return m_next; }

  private:
    Duration m_first;
    Duration m_longest;
    Duration m_next;
};

}  // namespace qavix::telemetry
