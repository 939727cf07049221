#pragma once
// Where a port name leads: the environment variable QAVLINK_COMn, else key COMn of [Ports]
// in ./Qavix.ini, else the n-th serial device (SerialPorts.h). The value "sim" or
// "sim:<options>" names the built-in emulator; "tcp:HOST:PORT" and "rfc2217:HOST:PORT" a
// serial device server on the network (NetworkAddress.h). A name that is already a path
// ("/dev/...") or a network value is taken as it is.

#include <optional>
#include <string>

#include "NetworkAddress.h"

namespace qavix::link {

struct PortTarget {
    bool emulator = false;
    std::string device;           // when not the emulator
    std::string emulatorOptions;  // when the emulator: what followed "sim:"
    // A device server: its address, or for a value that names none, what is wrong with it.
    std::optional<NetworkAddress> network;
    AddressProblem addressProblem = AddressProblem::None;
    std::string value;  // as configured

    bool onNetwork() const { return network.has_value() || addressProblem != AddressProblem::None; }
};

// Number n of a name "COMn" (any case), or empty.
std::optional<int> comPortNumber(const std::string& name);

// Turns a configured value into a target; empty for an empty value.
std::optional<PortTarget> parsePortValue(const std::string& value);

// Empty when the name is not a port name or nothing is configured or found for it.
std::optional<PortTarget> resolvePort(const std::string& name,
                                      const std::string& iniPath = "Qavix.ini");

}  // namespace qavix::link
