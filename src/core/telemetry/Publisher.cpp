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
        std::string reason;
        const BrokerLink::Send result = m_link.send(m_queue.front(), id, reason);
        if (result == BrokerLink::Send::Later) {
            return;
        }
        OutMessage sent = m_queue.take();
        if (result == BrokerLink::Send::Refused) {
            drop(sent, reason);
            continue;
        }
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

void Publisher::refused(int id, const std::string& reason) {
    const auto it = m_inFlight.find(id);
    if (it == m_inFlight.end()) {
        return;
    }
    const OutMessage gone = std::move(it->second);
    m_inFlight.erase(it);
    drop(gone, reason);
    pump();
}

void Publisher::drop(const OutMessage& message, const std::string& reason) {
    ++m_lost.refused;
    m_lost.alertsLost += message.kind == MessageKind::Alert ? 1 : 0;
    m_lost.errorsLost += message.kind == MessageKind::Error ? 1 : 0;
    if (m_refused) {
        m_refused(message, reason);
    }
}

DeliveryCounters Publisher::counters() const {
    DeliveryCounters c = m_lost;
    c.levelsDropped = m_queue.dropped();
    return c;
}

}  // namespace qavix::telemetry
