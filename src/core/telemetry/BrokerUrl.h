#pragma once
// mqtt://HOST[:PORT] and mqtts://HOST[:PORT]: where the monitor publishes. HOST is a name,
// an IPv4 address or a bracketed IPv6 address; the port defaults to 1883 and 8883.

#include <optional>
#include <string>

namespace qavix::telemetry {

constexpr int kMqttPort = 1883;
constexpr int kMqttsPort = 8883;

struct BrokerUrl {
    bool tls = false;
    std::string host;  // without brackets
    int port = kMqttPort;
};

// Nothing, with `error` saying what is wrong, for anything else (another scheme, a path,
// user information, a port outside 1..65535).
std::optional<BrokerUrl> parseBrokerUrl(const std::string& text, std::string& error);

}  // namespace qavix::telemetry
