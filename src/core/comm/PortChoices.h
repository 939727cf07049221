#pragma once
// What the communication settings offer for COM1..COM6 on this machine: where each port
// leads now, and the devices (and the built-in emulator) a port can be mapped to. The
// mapping is the [Ports] section of Qavix.ini that the link library reads.

#include <optional>
#include <string>
#include <vector>

namespace qavix {

constexpr const char* kPortsSection = "Ports";
constexpr const char* kEmulatorValue = "sim";
constexpr const char* kEmulatorLabel = "内蔵エミュレータ";

struct PortChoice {
    std::string value;  // as stored in [Ports]; empty: the n-th serial device of the machine
    std::string label;  // as the list shows it
};

// "Automatic" first, then every serial device, then the emulator; `current` (the value
// stored now) is added when it is none of these, so opening the list never changes it.
std::vector<PortChoice> portChoices(const std::vector<std::string>& devices,
                                    const std::string& current);

// A device path with the node it leads to: "/dev/serial/by-id/usb-X (ttyUSB0)".
std::string deviceLabel(const std::string& path);

// Where port n (1-based) leads with the stored value `mapping` (empty: automatic):
// "内蔵エミュレータ", a device label, or "" when nothing is there.
std::string targetLabel(int port, const std::string& mapping,
                        const std::vector<std::string>& devices);

// The name to hand KRYL_Open to try port n with `mapping` before it is saved: the device
// or emulator value itself, or for automatic the n-th device. Empty when there is none.
std::string openNameFor(int port, const std::string& mapping,
                        const std::vector<std::string>& devices);

// The value of QAVLINK_COMn, which wins over Qavix.ini, when it is set.
std::optional<std::string> environmentMapping(int port);

}  // namespace qavix
