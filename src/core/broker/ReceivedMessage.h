#pragma once
// A message as the broker passed it on to a subscriber.

#include <string>

namespace qavix::broker {

struct ReceivedMessage {
    std::string topic;
    std::string payload;
    bool retained = false;  // sent because it was retained, not because it was published now
};

}  // namespace qavix::broker
