#pragma once
// Hands queued messages to the broker connection while it stands, keeps them queued while
// it does not, and tells which ones the broker has taken. The connection itself (the MQTT
// library, its socket, its reconnects) stays behind BrokerLink, so this policy is tested
// without a broker.

#include <cstddef>
#include <functional>
#include <map>
#include <string>

#include "telemetry/PublishQueue.h"

namespace qavix::telemetry {

// At most this many messages are handed to the connection and not yet acknowledged;
// the rest wait in the queue, where the drop policy holds.
constexpr size_t kDefaultMaxInFlight = 20;

class BrokerLink {
  public:
    enum class Send {
        Taken,    // on its way; `id` identifies its acknowledgement
        Later,    // the connection cannot take it now (it just dropped)
        Refused,  // it can never go (too large, not UTF-8 ...): `reason` says why
    };

    virtual ~BrokerLink() = default;
    virtual bool connected() const = 0;
    virtual Send send(const OutMessage& message, int& id, std::string& reason) = 0;
};

class Publisher {
  public:
    using Delivered = std::function<void(const OutMessage&)>;
    using Refused = std::function<void(const OutMessage&, const std::string& reason)>;

    explicit Publisher(BrokerLink& link, size_t capacity = kDefaultQueueCapacity,
                       size_t maxInFlight = kDefaultMaxInFlight);

    void publish(OutMessage message);
    // Hands over what may go now, in queue order.
    void pump();
    // The broker acknowledged message `id`: took it, or refused it for good (an ACL, a size
    // limit), which a retry would only repeat. A refused message is dropped, so what waits
    // behind it goes on.
    void acknowledged(int id);
    void refused(int id, const std::string& reason);
    void onDelivered(Delivered callback) { m_delivered = std::move(callback); }
    void onRefused(Refused callback) { m_refused = std::move(callback); }

    size_t queued() const { return m_queue.size(); }
    size_t inFlight() const { return m_inFlight.size(); }
    bool idle() const { return m_queue.empty() && m_inFlight.empty(); }
    std::uint64_t dropped() const { return m_queue.dropped(); }
    DeliveryCounters counters() const;

  private:
    void drop(const OutMessage& message, const std::string& reason);

    BrokerLink& m_link;
    PublishQueue m_queue;
    size_t m_maxInFlight;
    // Handed over, not yet acknowledged: the connection resends these itself after a
    // reconnect, so they are not queued again.
    std::map<int, OutMessage> m_inFlight;
    Delivered m_delivered;
    Refused m_refused;
    DeliveryCounters m_lost;
};

}  // namespace qavix::telemetry
