#pragma once
// The settings a controller leaves the factory with, for the sensors connected to it.
// They pass the range check of a bank file import, so a bank exported from the emulator
// imports again.

#include <array>
#include <vector>

#include "sim/MemoryLayout.h"

namespace qavix::sim {

// `beams` holds the beam count of each connected sensor (1 to 3 of them).
SetMemory factorySettings(const std::vector<int>& beams);

// The four banks as delivered: copies of the current set, Bank 2 with lower and Bank 3
// with higher per-beam thresholds on the connected sensors.
std::array<SetMemory, kBankCount> factoryBanks(const SetMemory& current);

constexpr int kFactoryThreshold = 50;
constexpr int kFactoryZero = 100;
constexpr int kFactoryHysteresis = 10;

}  // namespace qavix::sim
