#pragma once
// The part of the port settings the worker needs, handed over as a copy.

#include <array>
#include <string>

#include "files/PortSettings.h"

namespace qavix {

struct LinkSettings {
    // Per port: baud rate, byte size (7/8), parity (0 none, 2 even), stop bits (0 one,
    // 2 two), 0, unit number.
    std::array<PortBlock, kPortCount> blocks{};
    int activePort = 0;  // 0..5 for COM1..COM6
    int unit = 0;
    // Opened instead of COMn when set: a device path, an emulator ("sim:...") or whatever
    // else the link library resolves; the block of activePort still gives the line settings.
    std::string portName;
};

// The name handed to the link library's open: portName, else "COMn" of activePort.
std::string portNameOf(const LinkSettings& settings);

// The blocks of every port for `unit`, with `activePort` selected.
LinkSettings makeLinkSettings(const PortSettings& settings, int activePort, int unit);
inline LinkSettings makeLinkSettings(const PortSettings& settings) {
    return makeLinkSettings(settings, settings.activePort, settings.activeMachine);
}

}  // namespace qavix
