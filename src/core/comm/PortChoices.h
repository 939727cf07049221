#pragma once
// What the communication settings offer for COM1..COM6 on this machine: where each port
// leads now, and the devices (and the built-in emulator) a port can be mapped to. The
// mapping is the [Ports] section of Qavix.ini that the link library reads.

#include <optional>
#include <string>
#include <vector>

#include "Translate.h"

namespace qavix {

constexpr const char* kPortsSection = "Ports";
constexpr const char* kEmulatorValue = "sim";
// Labels shown through i18n::translate (portChoices translates its own).
constexpr const char* kEmulatorLabel = N_("内蔵エミュレータ");
// The choice that leads to a device server; its value is the network value itself once
// the fields give one, this marker until then.
constexpr const char* kNetworkChoiceValue = "net:";
constexpr const char* kNetworkLabel = N_("ネットワーク（TCP / RFC 2217 のデバイスサーバー）");

struct PortChoice {
    std::string value;  // as stored in [Ports]; empty: the n-th serial device of the machine
    std::string label;  // as the list shows it
};

// "Automatic" first, then every serial device, then the emulator, then the network; `current`
// (the value stored now) is added when it is none of these, so opening the list never
// changes it. A current network value is the network choice's value.
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

// The fields of the network choice as the dialog shows them.
struct NetworkFields {
    std::string host;
    std::string port;
    bool rfc2217 = false;
};

// The [Ports] value the fields give ("rfc2217:plc-line3:4001"), or empty with what is wrong
// in `problem`. A value is built only from fields that pass the address rules whole, so
// nothing typed can change what the value means.
std::string networkValue(const NetworkFields& fields, std::string& problem);
// The fields of a network value; empty fields for anything else.
NetworkFields networkFields(const std::string& value);

// The value of QAVLINK_COMn, which wins over Qavix.ini, when it is set.
std::optional<std::string> environmentMapping(int port);

}  // namespace qavix
