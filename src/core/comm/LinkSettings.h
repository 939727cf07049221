#pragma once
// The part of the port settings the worker needs, handed over as a copy.

#include <array>

#include "comm/LinkApi.h"

namespace qavix {

constexpr int kPortCount = 6;  // COM1..COM6

using PortSettingsBlock = std::array<int, kPortSettingsBlockSize>;

struct LinkSettings {
    // Per port: baud rate, byte size (7/8), parity (0 none, 2 even), stop bits (0 one,
    // 2 two), 0, unit number.
    std::array<PortSettingsBlock, kPortCount> blocks{};
    int activePort = 0;  // 0..5 for COM1..COM6
    int unit = 0;
};

}  // namespace qavix
