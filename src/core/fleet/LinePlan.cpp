#include "fleet/LinePlan.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace qavix::fleet {

namespace {

std::string lowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// One text for one server port: host names compare without regard to case, and an address
// written in another way ("::1" and "0:0::1") is still the same address.
std::string serverKey(const link::NetworkAddress& address) {
    std::string host = lowerAscii(address.host);
    const std::string bare = host.substr(0, host.find('%'));
    const std::string zone = host.size() > bare.size() ? host.substr(bare.size()) : "";
    unsigned char bytes[sizeof(in6_addr)];
    char text[INET6_ADDRSTRLEN];
    for (const int family : {AF_INET, AF_INET6}) {
        if (inet_pton(family, bare.c_str(), bytes) == 1 &&
            inet_ntop(family, bytes, text, sizeof text) != nullptr) {
            host = text + zone;
        }
    }
    return "[" + host + "]:" + std::to_string(address.port);
}

}  // namespace

PortLookup systemPortLookup() {
    return [](const std::string& port) -> std::optional<link::PortTarget> {
        std::optional<link::PortTarget> target = link::resolvePort(port);
        if (target && !target->emulator && !target->device.empty()) {
            std::error_code ec;
            const auto real = std::filesystem::canonical(target->device, ec);
            if (!ec) {
                target->device = real.string();
            }
        }
        return target;
    };
}

std::string lineKey(const std::string& port, size_t index, const PortLookup& lookup) {
    const std::optional<link::PortTarget> target = lookup ? lookup(port) : std::nullopt;
    if (target && target->emulator) {
        return "emulator #" + std::to_string(index);
    }
    if (target && target->network) {
        return "server " + serverKey(*target->network);
    }
    if (target && !target->device.empty()) {
        return "device " + target->device;
    }
    // Not resolved (a COMn nothing is mapped to, a malformed network value): the name
    // itself, in the case-insensitive way port names are compared.
    return "name " + lowerAscii(port);
}

std::vector<std::vector<size_t>> groupByLine(const std::vector<std::string>& ports,
                                             const PortLookup& lookup) {
    std::vector<std::vector<size_t>> lines;
    std::map<std::string, size_t> lineOfKey;
    for (size_t i = 0; i < ports.size(); ++i) {
        const std::string key = lineKey(ports[i], i, lookup);
        const auto [it, added] = lineOfKey.emplace(key, lines.size());
        if (added) {
            lines.emplace_back();
        }
        lines[it->second].push_back(i);
    }
    return lines;
}

int defaultJobs(size_t lineCount) {
    return static_cast<int>(std::clamp<size_t>(lineCount, 1, kMaxJobs));
}

}  // namespace qavix::fleet
