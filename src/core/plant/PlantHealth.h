#pragma once
// How a controller of the plant is doing, from its row: every reason it needs a look, the
// worst of them as its severity, whether its monitor has gone silent, and the plant's
// summary. Rules only; the words are PlantText's.

#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "plant/PlantRow.h"

namespace qavix::plant {

// Worst last, so that a larger one is worse.
enum class Severity { Ok, Attention, Fault, Offline };

enum class Reason {
    Offline,     // the monitor said false, or the broker did for it
    LineLost,    // the port is gone
    NoAnswer,    // the controller is silent
    ReadFailed,  // a reply could not be read
    ControllerError,
    Abnormal,  // a state the program does not know
    Stale,     // the monitor has not been heard of for three intervals
    LineBusy,  // another program holds the port
    SettingMode,
    FactoryMode,
    MarginLow,    // a sensor's margin-low alert stands
    WentOffline,  // marks not yet acknowledged
    NewError,
    NoStatus,  // online, but no status has come yet
};

// A monitor that says nothing for this many intervals is taken as silent; the times of
// the payloads are whole seconds, so one second more is allowed for.
constexpr int kStaleIntervals = 3;
constexpr double kTimeResolutionSeconds = 1.0;

// The interval a status names, or the monitor's default for one that names none.
double intervalSecondsOf(const PlantRow& row);
bool isStale(const PlantRow& row, std::time_t now);

std::vector<Reason> reasonsOf(const PlantRow& row, std::time_t now);
Severity severityOfReason(Reason reason);
// "ok", "attention", "fault", "offline": for scripts.
const char* severityName(Severity severity);
Severity severityOf(const PlantRow& row, std::time_t now);

struct PlantSummary {
    int controllers = 0;
    int offline = 0;
    int attention = 0;  // neither offline nor well: a fault or something to look at

    bool allWell() const { return controllers > 0 && offline == 0 && attention == 0; }
};

PlantSummary summarize(const std::map<std::string, PlantRow>& rows, std::time_t now);

}  // namespace qavix::plant
