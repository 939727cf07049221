#pragma once
// Why a port could not be opened, found out as far as the machine tells, and the one text
// every client shows for it: the desktop program's messages, qavixctl and the link
// library's KRYL_GetLastError all take it from here.

#include <optional>
#include <string>

namespace qavix::link {

enum class PortProblemKind {
    NoDevice,     // the name resolves to nothing
    Absent,       // the device it resolves to does not exist (unplugged)
    Permission,   // the device exists but this user may not open it
    Busy,         // another process holds the device
    NotTerminal,  // the path is no serial line
    Settings,     // the line settings were refused
    Io,           // any other failure of open()
    // A device server on the network (tcp: and rfc2217: targets):
    BadAddress,       // the value names no host and port
    HostUnknown,      // the name does not exist
    LookupFailed,     // the name could not be looked up (no answer from the name servers)
    Refused,          // nothing listens on that port
    Unreachable,      // no route to the network or host
    NoAnswer,         // the connection was not accepted within connectTimeout()
    Dropped,          // the server closed the connection
    NoComPortOption,  // the server refused RFC 2217's COM-PORT-OPTION
    RateRefused,      // the server refused or changed a line setting
    DataSizeRefused,
    ParityRefused,
    StopSizeRefused,
};

struct PortProblem {
    PortProblemKind kind = PortProblemKind::Io;
    std::string port;    // "COM1", or empty when a path was opened directly
    std::string device;  // what the port resolved to
    std::string group;   // Permission: a group that may read and write the device, to join
    std::string holder;  // Busy: "name (PID n)" of a process holding it, when /proc tells
    std::string detail;  // Io: the system's words for the error; network kinds: the
                         // resolver's or the server's words, or what the server answered
};

// The short code KRYL_GetLastError reports for a kind (fewer than 8 characters).
const char* portProblemCode(PortProblemKind kind);
std::optional<PortProblemKind> portProblemKindFromCode(const std::string& code);

// Looks at the device for what the kind needs: its group, a process holding it.
PortProblem diagnosePort(PortProblemKind kind, const std::string& port, const std::string& device);
// The kind that an errno of open() means.
PortProblemKind kindFromErrno(int error);

// What a failed KRYL_Open of `port` with KRYL_GetLastError's `code` means, looked up again
// on this side of the library (its message buffer is short). For a device server the
// detail only the library knew (the server's words, the values it answered) is taken from
// its `libraryMessage`. Empty when the code is not about opening a device.
std::optional<PortProblem> describeOpenFailure(const std::string& port, const std::string& code,
                                               const std::string& iniPath = "Qavix.ini",
                                               const std::string& libraryMessage = {});

// The message, in the interface's language, naming the device. Names and details are shown
// with their control characters written out (ini::printable).
std::string portProblemText(const PortProblem& problem);
// The words every such message begins with: the port and the device or network target it
// leads to ("通信ポート COM2 の接続先 tcp:plc:4001").
std::string portSubject(const PortProblem& problem);

// The link library's error message for a problem, shorter than `capacity` bytes: the whole
// text, cut where it does not fit; but for a device server's problem with a detail that
// would be cut off, the line of the cause with its detail, without the port and target,
// which the caller named when it opened the port.
std::string portProblemMessage(const PortProblem& problem, std::size_t capacity);
// The detail of a problem's text or message (the bracket that ends its first line), or
// empty when it holds none or was cut before it.
std::string detailOfMessage(const std::string& message);

// The name of the device's group ("dialout"), or empty when it cannot be read.
std::string deviceGroup(const std::string& device);
// The group whose members may read and write the device, which a user who may not open it
// can join: empty when the device's group has no such right or is root (joining root is
// no advice to give), and when the device cannot be looked at.
std::string groupToJoin(const std::string& device);
// "name (PID n)" for each process other than this one with the device open, as far as
// /proc lets this user see.
std::string deviceHolder(const std::string& device, const std::string& procRoot = "/proc");

// Cuts UTF-8 text to fewer than `size` bytes without splitting a character.
std::string cutUtf8(const std::string& text, std::size_t size);

}  // namespace qavix::link
