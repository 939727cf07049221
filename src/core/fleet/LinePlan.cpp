#include "fleet/LinePlan.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace qavix::fleet {

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
    if (target && !target->device.empty()) {
        return "device " + target->device;
    }
    // Not resolved (a COMn nothing is mapped to, a network target): the name itself, in
    // the case-insensitive way port names are compared.
    std::string key = port;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return "name " + key;
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
    return static_cast<int>(std::clamp<size_t>(lineCount, 1, kMaxDefaultJobs));
}

}  // namespace qavix::fleet
