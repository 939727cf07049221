#include "PortResolver.h"

#include <cctype>
#include <cstdlib>

#include "IniLookup.h"
#include "SerialPorts.h"

namespace qavix::link {

namespace {

constexpr const char* kEnvPrefix = "QAVLINK_";
constexpr const char* kPortsSection = "Ports";
constexpr const char* kEmulator = "sim";
constexpr int kMaxPortNumber = 255;

}  // namespace

std::optional<int> comPortNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) {
            return std::nullopt;
        }
    }
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            return std::nullopt;
        }
        number = number * 10 + (name[i] - '0');
    }
    if (number < 1 || number > kMaxPortNumber) {
        return std::nullopt;
    }
    return number;
}

std::optional<PortTarget> parsePortValue(const std::string& value) {
    if (value.empty()) {
        return std::nullopt;
    }
    PortTarget target;
    target.value = value;
    if (isNetworkValue(value)) {
        target.network = parseNetworkAddress(value, &target.addressProblem);
        return target;
    }
    const std::string prefix = std::string(kEmulator) + ":";
    if (value == kEmulator) {
        target.emulator = true;
    } else if (value.compare(0, prefix.size(), prefix) == 0) {
        target.emulator = true;
        target.emulatorOptions = value.substr(prefix.size());
    } else {
        target.device = value;
    }
    return target;
}

std::optional<PortTarget> resolvePort(const std::string& name, const std::string& iniPath) {
    // A path, an emulator or a network value opens that directly: the communication
    // settings try a mapping this way before it is saved.
    if ((!name.empty() && name.front() == '/') || isNetworkValue(name)) {
        return parsePortValue(name);
    }
    if (name == kEmulator ||
        name.compare(0, std::string(kEmulator).size() + 1, std::string(kEmulator) + ":") == 0) {
        return parsePortValue(name);
    }
    const auto number = comPortNumber(name);
    if (!number) {
        return std::nullopt;
    }
    const std::string key = "COM" + std::to_string(*number);
    if (const char* env = std::getenv((kEnvPrefix + key).c_str()); env != nullptr && *env) {
        return parsePortValue(env);
    }
    if (auto value = readIniValue(iniPath, kPortsSection, key); value && !value->empty()) {
        return parsePortValue(*value);
    }
    const auto devices = listSerialDevices();
    if (static_cast<std::size_t>(*number) > devices.size()) {
        return std::nullopt;
    }
    return parsePortValue(devices[static_cast<std::size_t>(*number) - 1]);
}

}  // namespace qavix::link
