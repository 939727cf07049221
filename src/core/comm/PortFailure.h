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

}  // namespace qavix
