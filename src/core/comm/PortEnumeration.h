#pragma once
// Which of COM1..COM6 the program can offer: a port is present when its name resolves to
// the built-in emulator, to a device that exists or to a well-formed network address, by
// the same rule the link library uses to open it.

#include <array>
#include <string>

#include "comm/LinkSettings.h"

namespace qavix {

using PresentPorts = std::array<bool, kPortCount>;

PresentPorts enumeratePorts(const std::string& iniPath = "Qavix.ini");
bool anyPortPresent(const PresentPorts& ports);

}  // namespace qavix
