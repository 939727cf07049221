#include "telemetry/PublishQueue.h"

#include <algorithm>

namespace qavix::telemetry {

void PublishQueue::push(OutMessage message) {
    if (message.kind == MessageKind::Online || message.kind == MessageKind::Status) {
        const auto same = std::find_if(m_messages.begin(), m_messages.end(), [&](const auto& m) {
            return m.kind == message.kind && m.topic == message.topic;
        });
        if (same != m_messages.end()) {
            m_messages.erase(same);
        }
    }
    if (m_messages.size() >= m_capacity && !dropOldestLevels() &&
        message.kind == MessageKind::Levels) {
        ++m_dropped;
        return;
    }
    m_messages.push_back(std::move(message));
}

bool PublishQueue::dropOldestLevels() {
    const auto oldest = std::find_if(m_messages.begin(), m_messages.end(),
                                     [](const auto& m) { return m.kind == MessageKind::Levels; });
    if (oldest == m_messages.end()) {
        return false;
    }
    m_messages.erase(oldest);
    ++m_dropped;
    return true;
}

OutMessage PublishQueue::take() {
    OutMessage m = std::move(m_messages.front());
    m_messages.pop_front();
    return m;
}

}  // namespace qavix::telemetry
