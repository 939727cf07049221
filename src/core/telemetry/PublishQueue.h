#pragma once
// What waits for the broker. While it is away the monitor keeps producing; the queue keeps
// what matters within a bound: the newest status (retained, so only the last one means
// anything), every alert change and every error entry in order, and as many level messages
// as fit, dropping the oldest first.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace qavix::telemetry {

constexpr size_t kDefaultQueueCapacity = 1000;

enum class MessageKind { Online, Status, Levels, Error, Alert };

struct OutMessage {
    MessageKind kind = MessageKind::Levels;
    std::string topic;
    std::string payload;
    int qos = 0;
    bool retain = false;
    // An error-log entry: its identity, remembered once the entry has been delivered.
    std::string errorKey;
};

// What did not reach the broker since the start, for the status payload: level messages
// dropped for room, and messages the broker refused (of them alerts and error entries,
// which are never dropped for room and so count as lost).
struct DeliveryCounters {
    std::uint64_t levelsDropped = 0;
    std::uint64_t refused = 0;
    std::uint64_t alertsLost = 0;
    std::uint64_t errorsLost = 0;
};

class PublishQueue {
  public:
    explicit PublishQueue(size_t capacity = kDefaultQueueCapacity) : m_capacity(capacity) {}

    // Online and status messages replace a queued one of the same topic. When the queue is
    // full the oldest level message makes room; alerts and error entries are never dropped,
    // so they alone may hold the queue past its capacity; a level message that finds no
    // other level message to replace is itself dropped.
    void push(OutMessage message);

    bool empty() const { return m_messages.empty(); }
    size_t size() const { return m_messages.size(); }
    const OutMessage& front() const { return m_messages.front(); }
    OutMessage take();
    // Level messages dropped for room since the start.
    std::uint64_t dropped() const { return m_dropped; }

  private:
    bool dropOldestLevels();

    size_t m_capacity;
    std::deque<OutMessage> m_messages;
    std::uint64_t m_dropped = 0;
};

}  // namespace qavix::telemetry
