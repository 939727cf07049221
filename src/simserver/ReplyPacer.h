#pragma once
// Replies held back until a line of the modelled rate would have carried the request and
// the reply: shared by the pseudo-terminal and the TCP server of qavix-sim.

#include <time.h>

#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "FrameServer.h"

namespace qavix::sim::tool {

class ReplyPacer {
  public:
    using Clock = std::chrono::steady_clock;

    // Queues replies to requests received at `now`; baud 0 sends them at once.
    void add(std::vector<link::ServedReply> replies, Clock::time_point now, int bitsPerCharacter,
             int baud);
    // The bytes due by now, in order.
    std::string takeDue(Clock::time_point now);
    // The time until the next reply is due; false when none is waiting.
    bool nextWait(timespec& wait) const;
    void clear() { m_pending.clear(); }

  private:
    struct Pending {
        Clock::time_point readyAt;
        std::string bytes;
    };
    std::deque<Pending> m_pending;
};

}  // namespace qavix::sim::tool
