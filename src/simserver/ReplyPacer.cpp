#include "ReplyPacer.h"

namespace qavix::sim::tool {

void ReplyPacer::add(std::vector<link::ServedReply> replies, Clock::time_point now,
                     int bitsPerCharacter, int baud) {
    for (link::ServedReply& reply : replies) {
        auto readyAt = now;
        if (baud > 0) {
            // The whole exchange as a real line would carry it: request, then reply.
            readyAt +=
                link::lineTime(reply.requestChars + reply.frame.size(), bitsPerCharacter, baud);
        }
        m_pending.push_back({readyAt, std::move(reply.frame)});
    }
}

std::string ReplyPacer::takeDue(Clock::time_point now) {
    std::string due;
    while (!m_pending.empty() && m_pending.front().readyAt <= now) {
        due += m_pending.front().bytes;
        m_pending.pop_front();
    }
    return due;
}

bool ReplyPacer::nextWait(timespec& wait) const {
    if (m_pending.empty()) {
        return false;
    }
    // Microsecond precision: at 115200 baud a whole exchange takes about 3 ms.
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
        m_pending.front().readyAt - Clock::now());
    const long long ns = left.count() > 0 ? left.count() : 0;
    wait.tv_sec = static_cast<time_t>(ns / 1000000000LL);
    wait.tv_nsec = static_cast<long>(ns % 1000000000LL);
    return true;
}

}  // namespace qavix::sim::tool
