#pragma once
// A controller behind a serial device server: "tcp:HOST:PORT" (a raw byte stream, the line
// set on the server) or "rfc2217:HOST:PORT" (Telnet with the COM-PORT-OPTION, the line set
// from the port's settings). HOST is a name, an IPv4 address or an IPv6 address in
// brackets. The value is checked whole here, so a value that passes names exactly one host
// and port, and the dialog can build one from its fields without anything slipping through.

#include <chrono>
#include <optional>
#include <string>

namespace qavix::link {

enum class NetProtocol { Tcp, Rfc2217 };

enum class AddressProblem {
    None,
    Malformed,  // not PREFIX:HOST:PORT
    NoHost,
    BadHost,   // characters a host name or address cannot hold
    BareIpv6,  // an IPv6 address without its brackets
    BadPort,   // not a decimal number 1..65535
};

struct NetworkAddress {
    NetProtocol protocol = NetProtocol::Tcp;
    std::string host;  // without brackets
    int port = 0;
};

constexpr const char* kTcpPrefix = "tcp:";
constexpr const char* kRfc2217Prefix = "rfc2217:";
constexpr int kMaxNetworkPort = 65535;

// True when the value starts with one of the two prefixes, well formed or not.
bool isNetworkValue(const std::string& value);

// The address a value names; empty with the reason when it names none.
std::optional<NetworkAddress> parseNetworkAddress(const std::string& value,
                                                  AddressProblem* problem = nullptr);

// A host as typed in a field: a name, an IPv4 address, an IPv6 address with or without
// brackets (a zone after "%" allowed). Returns the host without brackets when it is one.
std::optional<std::string> checkHost(const std::string& typed, AddressProblem* problem = nullptr);
// A port number as typed: decimal digits only, 1..65535.
std::optional<int> checkPortNumber(const std::string& typed);

// "rfc2217:[fe80::1%eth0]:4001": the value parseNetworkAddress reads back to `address`.
std::string formatNetworkAddress(const NetworkAddress& address);

// What is wrong, in the interface's language.
std::string addressProblemText(AddressProblem problem);

// How long opening a device server's port may take in all (name lookup, connection and
// line settings): QAVLINK_CONNECT_TIMEOUT in milliseconds when set (tests shorten it), else
// a few seconds.
std::chrono::milliseconds connectTimeout();

}  // namespace qavix::link
