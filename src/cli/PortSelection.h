#pragma once
// The port and unit a device command talks to: Qavix.ini of the working directory, with
// --port and --unit taking precedence.

#include <string>

#include "DeviceOptions.h"
#include "comm/LinkSettings.h"

namespace qavix::cli {

constexpr const char* kSettingsFileName = "Qavix.ini";

struct PortSelection {
    LinkSettings link;
    std::string networkTarget;  // --port gave a device server for the active port
    std::string error;          // the settings file exists but cannot be read
};

PortSelection selectPort(const std::string& settingsPath, const DeviceOptions& options);

}  // namespace qavix::cli
