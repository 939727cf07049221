#pragma once
// How a broker connection fares, for a window or a command that shows it.

#include <chrono>
#include <string>

namespace qavix::broker {

struct BrokerState {
    enum class Phase {
        Connecting,
        Connected,    // the broker took the connection
        Subscribed,   // and acknowledged the subscriptions
        Unreachable,  // no connection came about (down, no route, TLS, no answer)
        Refused,      // the broker answered and said no (login, client, a subscription)
        Lost,         // a standing connection broke
    };
    Phase phase = Phase::Connecting;
    std::string reason;                    // the library's or the broker's words
    std::chrono::milliseconds retryIn{0};  // after a failure: the wait before the next attempt
};

}  // namespace qavix::broker
