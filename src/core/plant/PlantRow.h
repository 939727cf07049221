#pragma once
// What a plant view knows of one controller: the newest of each of its monitor's messages,
// and what happened that a person has not acknowledged yet.

#include <array>
#include <ctime>
#include <optional>
#include <string>

#include "plant/PlantMessages.h"

namespace qavix::plant {

constexpr int kPlantChannels = 3;

// Happenings that mark a row until a person acknowledges them.
enum AttentionMark : unsigned {
    kMarkWentOffline = 1u << 0,
    kMarkMarginLow = 1u << 1,
    kMarkNewError = 1u << 2,
};

struct SensorMarginView {
    bool known = false;  // a levels message has come for this sensor
    std::optional<MarginOfLevels> margin;
    bool marginLow = false;  // the monitor's margin-low alert stands
};

struct AlertView {
    AlertMessage alert;
    std::time_t received = 0;
};

struct ErrorEntryView {
    ErrorEntryMessage entry;
    std::time_t received = 0;
};

struct PlantRow {
    std::string name;  // as the topic carries it
    std::optional<bool> online;
    std::optional<StatusMessage> status;
    std::array<SensorMarginView, kPlantChannels> sensors{};
    std::optional<AlertView> lastAlert;
    std::optional<ErrorEntryView> lastError;
    // When the controller was last heard of: the time its newest message names, or for a
    // message that is no retained one and names none, when it came.
    std::optional<std::time_t> lastSeen;
    unsigned marks = 0;  // AttentionMark bits not yet acknowledged
    // Bumped on every change, so a view copies only the rows that changed.
    std::uint64_t revision = 0;
};

}  // namespace qavix::plant
