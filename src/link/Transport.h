#pragma once
// A byte pipe to a controller: a serial device, the built-in emulator or a device server on
// the network. Every wait ends at the caller's deadline, so no call of the link library can
// hang.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "PortProblem.h"

namespace qavix::link {

using Clock = std::chrono::steady_clock;

enum class IoStatus { Ok, TimedOut, Failed };

class Transport {
  public:
    virtual ~Transport() = default;

    virtual IoStatus write(std::string_view bytes, Clock::time_point deadline) = 0;
    // Appends whatever arrives to out, waiting until the deadline for at least one byte.
    virtual IoStatus read(std::string& out, Clock::time_point deadline) = 0;
    // Drops bytes that arrived after the previous exchange ended, late replies included.
    virtual void discardInput() = 0;
    // Why the line failed, when the transport can tell more than that it did (a device
    // server that closed the connection); the port name is left for the caller.
    virtual std::optional<PortProblem> lineProblem() const { return std::nullopt; }
};

}  // namespace qavix::link
