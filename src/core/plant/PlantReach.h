#pragma once
// Whether this PC can open a controller of the plant, and why not: the port target its
// monitor names is reachable from here when it is a device server on the network, or a
// local device when this is the machine the monitor runs on. The emulator of a monitor
// lives inside that monitor and is reachable from nowhere else.

#include <string>

#include "plant/PlantRow.h"

namespace qavix::plant {

enum class ReachProblem {
    None,
    NoStatus,  // nothing known of the port yet
    NoTarget,  // the monitor does not name what its port leads to
    EmulatorInMonitor,
    OtherMachine,  // a local device (or a loopback address) of another machine
    BadTarget,     // a network target that names no host and port
};

struct Reach {
    ReachProblem problem = ReachProblem::None;
    std::string target;  // what to open: the port target as the status names it
    int unit = 0;
    std::string portName;  // "COM1" on the monitor's machine, whose line settings to use
    // The monitor keeps the port open between its reads (an interval under 5 s): the
    // program will find it busy.
    bool monitorHoldsPort = false;

    bool possible() const { return problem == ReachProblem::None; }
};

// `thisHost`: this machine's name, as a monitor here would publish it.
Reach reachOf(const PlantRow& row, const std::string& thisHost);

// Why not, in the operator's words; empty when possible.
std::string reachProblemText(const Reach& reach, const PlantRow& row);
// What to say when the program found the port busy.
std::string busyPortText(const Reach& reach);

}  // namespace qavix::plant
