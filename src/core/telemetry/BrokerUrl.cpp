#include "telemetry/BrokerUrl.h"

#include <cctype>

namespace qavix::telemetry {

namespace {

constexpr int kMaxPort = 65535;
constexpr size_t kMaxHostLength = 253;

bool validHostChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

// The address after the scheme, with one trailing '/' dropped.
bool takeScheme(const std::string& text, BrokerUrl& url, std::string& rest, std::string& error) {
    if (text.rfind("mqtt://", 0) == 0) {
        rest = text.substr(7);
    } else if (text.rfind("mqtts://", 0) == 0) {
        url.tls = true;
        url.port = kMqttsPort;
        rest = text.substr(8);
    } else {
        error = "the broker is mqtt://HOST[:PORT] or mqtts://HOST[:PORT], got \"" + text + "\"";
        return false;
    }
    if (!rest.empty() && rest.back() == '/') {
        rest.pop_back();
    }
    if (rest.find_first_of("/@?#") != std::string::npos) {
        error = "the broker address takes no path, user or query: \"" + text + "\"";
        return false;
    }
    return true;
}

// "[IPv6]" or "[IPv6]:port".
bool takeBracketedHost(const std::string& rest, const std::string& text, BrokerUrl& url,
                       std::string& portText, std::string& error) {
    const auto close = rest.find(']');
    if (close == std::string::npos) {
        error = "unclosed [ in the broker address \"" + text + "\"";
        return false;
    }
    url.host = rest.substr(1, close - 1);
    const std::string after = rest.substr(close + 1);
    if (!after.empty() && after.front() != ':') {
        error = "unexpected text after ] in \"" + text + "\"";
        return false;
    }
    portText = after.empty() ? std::string() : after.substr(1);
    if (url.host.empty() ||
        url.host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos) {
        error = "not an IPv6 address: \"" + url.host + "\"";
        return false;
    }
    return true;
}

// "host" or "host:port".
bool takePlainHost(const std::string& rest, const std::string& text, BrokerUrl& url,
                   std::string& portText, std::string& error) {
    const auto colon = rest.find(':');
    url.host = rest.substr(0, colon);
    if (colon != std::string::npos) {
        portText = rest.substr(colon + 1);
        if (portText.empty()) {
            error = "no port after : in \"" + text + "\"";
            return false;
        }
    }
    for (const char c : url.host) {
        if (!validHostChar(c)) {
            error = "not a host name: \"" + url.host + "\"";
            return false;
        }
    }
    return true;
}

bool takePort(const std::string& portText, BrokerUrl& url, std::string& error) {
    if (portText.empty()) {
        return true;
    }
    if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) {
        error = "the broker port must be a number 1..65535, got \"" + portText + "\"";
        return false;
    }
    url.port = std::stoi(portText);
    if (url.port < 1 || url.port > kMaxPort) {
        error = "the broker port must be 1..65535, got " + portText;
        return false;
    }
    return true;
}

}  // namespace

std::optional<BrokerUrl> parseBrokerUrl(const std::string& text, std::string& error) {
    BrokerUrl url;
    std::string rest;
    std::string portText;
    if (!takeScheme(text, url, rest, error)) {
        return std::nullopt;
    }
    const bool bracketed = !rest.empty() && rest.front() == '[';
    const bool hostTaken = bracketed ? takeBracketedHost(rest, text, url, portText, error)
                                     : takePlainHost(rest, text, url, portText, error);
    if (!hostTaken) {
        return std::nullopt;
    }
    if (url.host.empty() || url.host.size() > kMaxHostLength) {
        error = "no broker host in \"" + text + "\"";
        return std::nullopt;
    }
    if (!takePort(portText, url, error)) {
        return std::nullopt;
    }
    error.clear();
    return url;
}

}  // namespace qavix::telemetry
