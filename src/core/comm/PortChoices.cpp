#include "comm/PortChoices.h"

#include <cstdlib>
#include <filesystem>

#include "PortResolver.h"
#include "Translate.h"

namespace qavix {

namespace {

constexpr const char* kAutomaticLabel = N_("自動（この番号のシリアルデバイス）");

}  // namespace

std::string deviceLabel(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) {
        return path;
    }
    const auto node = std::filesystem::canonical(path, ec);
    if (ec) {
        return path;
    }
    return path + " (" + node.filename().string() + ")";
}

std::vector<PortChoice> portChoices(const std::vector<std::string>& devices,
                                    const std::string& current) {
    std::vector<PortChoice> choices;
    choices.push_back({"", i18n::translate(kAutomaticLabel)});
    bool currentListed = current.empty() || current == kEmulatorValue;
    for (const std::string& device : devices) {
        choices.push_back({device, deviceLabel(device)});
        currentListed = currentListed || device == current;
    }
    choices.push_back({kEmulatorValue, i18n::translate(kEmulatorLabel)});
    const bool network = link::isNetworkValue(current);
    choices.push_back({network ? current : kNetworkChoiceValue, i18n::translate(kNetworkLabel)});
    if (!currentListed && !network) {
        const auto target = link::parsePortValue(current);
        const bool emulator = target && target->emulator;
        choices.push_back(
            {current, emulator ? std::string(i18n::translate(kEmulatorLabel)) + " (" + current + ")"
                               : current});
    }
    return choices;
}

std::string openNameFor(int port, const std::string& mapping,
                        const std::vector<std::string>& devices) {
    if (!mapping.empty()) {
        return mapping;
    }
    if (port >= 1 && static_cast<size_t>(port) <= devices.size()) {
        return devices[static_cast<size_t>(port) - 1];
    }
    return {};
}

std::string targetLabel(int port, const std::string& mapping,
                        const std::vector<std::string>& devices) {
    const auto target = link::parsePortValue(openNameFor(port, mapping, devices));
    if (!target) {
        return {};
    }
    if (target->emulator) {
        return i18n::translate(kEmulatorLabel);
    }
    if (target->onNetwork()) {
        return target->value;
    }
    return deviceLabel(target->device);
}

std::string networkValue(const NetworkFields& fields, std::string& problem) {
    link::AddressProblem why = link::AddressProblem::None;
    const auto host = link::checkHost(fields.host, &why);
    if (!host) {
        problem = link::addressProblemText(why);
        return {};
    }
    const auto port = link::checkPortNumber(fields.port);
    if (!port) {
        problem = link::addressProblemText(link::AddressProblem::BadPort);
        return {};
    }
    problem.clear();
    return link::formatNetworkAddress(
        {fields.rfc2217 ? link::NetProtocol::Rfc2217 : link::NetProtocol::Tcp, *host, *port});
}

NetworkFields networkFields(const std::string& value) {
    const auto address = link::parseNetworkAddress(value);
    if (!address) {
        return {};
    }
    const bool ipv6 = address->host.find(':') != std::string::npos;
    return {ipv6 ? "[" + address->host + "]" : address->host, std::to_string(address->port),
            address->protocol == link::NetProtocol::Rfc2217};
}

std::optional<std::string> environmentMapping(int port) {
    const std::string name = "QAVLINK_COM" + std::to_string(port);
    if (const char* value = std::getenv(name.c_str()); value != nullptr && *value != '\0') {
        return std::string(value);
    }
    return std::nullopt;
}

}  // namespace qavix
