#include "telemetry/Publisher.h"

namespace qavix::telemetry {

Publisher::Publisher(BrokerLink& link, size_t capacity, size_t maxInFlight)
    : m_link(link), m_queue(capacity), m_maxInFlight(maxInFlight == 0 ? 1 : maxInFlight) {}

void Publisher::publish(OutMessage message) {
    m_queue.push(std::move(message));
    pump();
}

void Publisher::pump() {
    while (!m_queue.empty() && m_inFlight.size() < m_maxInFlight && m_link.connected()) {
        int id = 0;
        if (!m_link.send(m_queue.front(), id)) {
            return;
        }
        OutMessage sent = m_queue.take();
        if (sent.qos == 0) {
            if (m_delivered) {
                m_delivered(sent);
            }
            continue;
        }
        m_inFlight.emplace(id, std::move(sent));
    }
}

void Publisher::acknowledged(int id) {
    const auto it = m_inFlight.find(id);
    if (it == m_inFlight.end()) {
        return;
    }
    const OutMessage done = std::move(it->second);
    m_inFlight.erase(it);
    if (m_delivered) {
        m_delivered(done);
    }
    pump();
}

}  // namespace qavix::telemetry
