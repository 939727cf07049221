#pragma once
// The port and unit a device command talks to: Qavix.ini of the working directory, with
// --port and --unit taking precedence.
//
// Kept apart from the connection code: files/PortSettings.h and comm/LinkSettings.h both
// declare kPortCount, so no file can include both.

#include <array>
#include <string>

#include "DeviceOptions.h"

namespace qavix::cli {

constexpr int kSelectablePorts = 6;  // COM1..COM6
constexpr const char* kSettingsFileName = "Qavix.ini";

struct PortSelection {
    // Per port: baud rate, data bits, parity, stop bits, 0, unit, as the link opens it.
    std::array<std::array<int, 6>, kSelectablePorts> blocks{};
    int activePort = 0;
    int unit = 0;
    std::string error;  // the settings file exists but cannot be read
};

PortSelection selectPort(const std::string& settingsPath, const DeviceOptions& options);

}  // namespace qavix::cli
