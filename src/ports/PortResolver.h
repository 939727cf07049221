#pragma once
// Where a port name leads: the environment variable QAVLINK_COMn, else key COMn of [Ports]
// in ./Qavix.ini, else the n-th serial device (SerialPorts.h). The value "sim" or
// "sim:<options>" names the built-in emulator. A name that is already a path ("/dev/...")
// is taken as it is.

#include <optional>
#include <string>

namespace qavix::link {

struct PortTarget {
    bool emulator = false;
    std::string device;           // when not the emulator
    std::string emulatorOptions;  // when the emulator: what followed "sim:"
};

// Number n of a name "COMn" (any case), or empty.
std::optional<int> comPortNumber(const std::string& name);

// Turns a configured value into a target; empty for an empty value.
std::optional<PortTarget> parsePortValue(const std::string& value);

// Empty when the name is not a port name or nothing is configured or found for it.
std::optional<PortTarget> resolvePort(const std::string& name,
                                      const std::string& iniPath = "Qavix.ini");

}  // namespace qavix::link
