#pragma once
// The message for a KRYL_Open that failed: which device, and why (absent, no permission
// with the group to join, held by which process). The text itself is built by the port
// rules the link library shares, so every client words it the same.

#include <string>

#include "comm/LinkApi.h"

namespace qavix {

// Empty when the library reports no failure. `iniPath` is where [Ports] is read;
// `shownPort` names the port when `port` is a device path tried in its stead.
std::string openFailureText(const LinkApi& api, const std::string& port,
                            const std::string& iniPath = "Qavix.ini",
                            const std::string& shownPort = std::string());

// Whether the last failed KRYL_Open found the port held by another program (a local device
// in use, or a device server that keeps its port for another client).
bool openFoundBusy(const LinkApi& api);

// Why an open line failed, when the library knows more than that it did: a device server
// on the network that closed the connection (another client took the port, the server
// stopped) or says the port is in use. Empty for a line that only went silent or failed.
std::string lineFailureText(const LinkApi& api, const std::string& port,
                            const std::string& iniPath = "Qavix.ini");

// Why nothing answered on a port that opened: names `shownPort` ("COM1") and where
// `opened` (the port name, or the device or value tried in its stead) leads, and what to
// look at for that kind of line. A raw device server keeps its own line settings, so it
// is not told to check the speed or the cable as a serial line is.
std::string silentLineText(const std::string& shownPort, const std::string& opened,
                           const std::string& iniPath = "Qavix.ini");

}  // namespace qavix
