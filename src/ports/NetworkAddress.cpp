#include "NetworkAddress.h"
#include "Translate.h"

#include <arpa/inet.h>

#include <cstdlib>
#include <cstring>

namespace qavix::link {

namespace {

constexpr std::size_t kMaxHostLength = 253;  // a DNS name
constexpr std::size_t kMaxLabelLength = 63;
constexpr std::size_t kMaxPortDigits = 5;
// The program tries an open three times: a silent address keeps it waiting nine seconds.
constexpr long kDefaultConnectTimeoutMs = 3000;
constexpr long kMaxConnectTimeoutMs = 60000;
constexpr const char* kConnectTimeoutVariable = "QAVLINK_CONNECT_TIMEOUT";

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isAlnum(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isIpv4(const std::string& text) {
    in_addr address{};
    return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

// An IPv6 address, optionally with a zone ("%eth0") of plain characters.
bool isIpv6(const std::string& text) {
    const auto percent = text.find('%');
    const std::string address = text.substr(0, percent);
    if (percent != std::string::npos) {
        const std::string zone = text.substr(percent + 1);
        if (zone.empty()) {
            return false;
        }
        for (char c : zone) {
            if (!isAlnum(c) && c != '-' && c != '_' && c != '.') {
                return false;
            }
        }
    }
    in6_addr parsed{};
    return inet_pton(AF_INET6, address.c_str(), &parsed) == 1;
}

// Labels of letters, digits, '-' and '_' (found on plant networks), none empty or starting
// or ending with '-'. All-numeric names must be IPv4 addresses: "999.1.1.1" is a typo.
bool isHostName(const std::string& text) {
    if (text.empty() || text.size() > kMaxHostLength) {
        return false;
    }
    bool numeric = true;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto dot = text.find('.', start);
        const std::size_t end = dot == std::string::npos ? text.size() : dot;
        const std::string label = text.substr(start, end - start);
        if (label.empty() || label.size() > kMaxLabelLength || label.front() == '-' ||
            label.back() == '-') {
            return false;
        }
        for (char c : label) {
            if (!isAlnum(c) && c != '-' && c != '_') {
                return false;
            }
            numeric = numeric && isDigit(c);
        }
        if (dot == std::string::npos) {
            break;
        }
        start = dot + 1;
    }
    return !numeric || isIpv4(text);
}

}  // namespace

bool isNetworkValue(const std::string& value) {
    return startsWith(value, kTcpPrefix) || startsWith(value, kRfc2217Prefix);
}

std::optional<int> checkPortNumber(const std::string& typed) {
    if (typed.empty() || typed.size() > kMaxPortDigits) {
        return std::nullopt;
    }
    int port = 0;
    for (char c : typed) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > kMaxNetworkPort) {
        return std::nullopt;
    }
    return port;
}

std::optional<std::string> checkHost(const std::string& typed, AddressProblem* problem) {
    AddressProblem found = AddressProblem::None;
    std::optional<std::string> host;
    if (typed.empty()) {
        found = AddressProblem::NoHost;
    } else if (typed.front() == '[') {
        const std::string inside =
            typed.back() == ']' ? typed.substr(1, typed.size() - 2) : std::string();
        if (isIpv6(inside)) {
            host = inside;
        } else {
            found = AddressProblem::BadHost;
        }
    } else if (typed.find(':') != std::string::npos) {
        if (isIpv6(typed)) {
            host = typed;
        } else {
            found = AddressProblem::BadHost;
        }
    } else if (isHostName(typed)) {
        host = typed;
    } else {
        found = AddressProblem::BadHost;
    }
    if (problem != nullptr) {
        *problem = found;
    }
    return host;
}

std::optional<NetworkAddress> parseNetworkAddress(const std::string& value,
                                                  AddressProblem* problem) {
    AddressProblem found = AddressProblem::None;
    auto fail = [&](AddressProblem why) -> std::optional<NetworkAddress> {
        if (problem != nullptr) {
            *problem = why;
        }
        return std::nullopt;
    };
    NetworkAddress address;
    std::string rest;
    if (startsWith(value, kTcpPrefix)) {
        address.protocol = NetProtocol::Tcp;
        rest = value.substr(std::strlen(kTcpPrefix));
    } else if (startsWith(value, kRfc2217Prefix)) {
        address.protocol = NetProtocol::Rfc2217;
        rest = value.substr(std::strlen(kRfc2217Prefix));
    } else {
        return fail(AddressProblem::Malformed);
    }
    const auto colon = rest.rfind(':');
    if (colon == std::string::npos) {
        return fail(AddressProblem::Malformed);
    }
    const std::string hostText = rest.substr(0, colon);
    const auto port = checkPortNumber(rest.substr(colon + 1));
    // An IPv6 address only in brackets: otherwise its last group would read as the port.
    if (hostText.find(':') != std::string::npos && hostText.front() != '[') {
        return fail(isIpv6(hostText) || isIpv6(rest) ? AddressProblem::BareIpv6
                                                     : AddressProblem::Malformed);
    }
    const auto host = checkHost(hostText, &found);
    if (!host) {
        return fail(found);
    }
    if (!port) {
        return fail(AddressProblem::BadPort);
    }
    address.host = *host;
    address.port = *port;
    if (problem != nullptr) {
        *problem = AddressProblem::None;
    }
    return address;
}

std::string formatNetworkAddress(const NetworkAddress& address) {
    const bool ipv6 = address.host.find(':') != std::string::npos;
    return std::string(address.protocol == NetProtocol::Tcp ? kTcpPrefix : kRfc2217Prefix) +
           (ipv6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::string addressProblemText(AddressProblem problem) {
    switch (problem) {
        case AddressProblem::None:
            return {};
        case AddressProblem::Malformed:
            return QX_("tcp:ホスト:ポート または rfc2217:ホスト:ポート の形で指定してください");
        case AddressProblem::NoHost:
            return QX_("ホスト名がありません");
        case AddressProblem::BadHost:
            return QX_("ホスト名または IP アドレスとして読めません");
        case AddressProblem::BareIpv6:
            return QX_("IPv6 アドレスは [ ] で囲んでください");
        case AddressProblem::BadPort:
            return QX_("ポート番号は 1〜65535 の数字です");
    }
    return {};
}

std::chrono::milliseconds connectTimeout() {
    const char* text = std::getenv(kConnectTimeoutVariable);
    if (text != nullptr && *text != '\0') {
        char* end = nullptr;
        const long ms = std::strtol(text, &end, 10);
        if (*end == '\0' && ms > 0 && ms <= kMaxConnectTimeoutMs) {
            return std::chrono::milliseconds(ms);
        }
    }
    return std::chrono::milliseconds(kDefaultConnectTimeoutMs);
}

}  // namespace qavix::link
