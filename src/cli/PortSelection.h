#pragma once
// The port and unit a device command talks to, and where it records its writes: Qavix.ini of
// the working directory, with --port, --unit and --journal taking precedence.

#include <string>

#include "DeviceOptions.h"
#include "comm/LinkSettings.h"

namespace qavix::cli {

constexpr const char* kSettingsFileName = "Qavix.ini";

struct PortSelection {
    LinkSettings link;
    std::string networkTarget;  // --port gave a device server for the active port
    // Why the settings file could not be taken (the link then holds the defaults, as the
    // program starts with them); empty when it was read or is missing.
    std::string unreadable;
};

PortSelection selectPort(const std::string& settingsPath, const DeviceOptions& options);

// The change journal's folder: --journal, else [Journal] Folder of the settings file, else
// the user's state folder; made absolute, so a later change of folder does not move it.
std::string selectJournalFolder(const std::string& settingsPath, const DeviceOptions& options);

// Says on standard error, when it is so, that the settings file could not be used and the
// defaults are (the program says it in its status bar).
void reportUnreadableSettings(const PortSelection& selection);

}  // namespace qavix::cli
