#pragma once
// A byte pipe to a controller: a serial device, the built-in emulator or a device server on
// the network. Every wait ends at the caller's deadline, so no call of the link library can
// hang.

#include <optional>
#include <string>
#include <string_view>

#include "Deadline.h"
#include "Frame.h"
#include "PortProblem.h"

namespace qavix::link {

enum class IoStatus { Ok, TimedOut, Failed };

// A frame is short; what a line holds beyond a few frames' worth is noise or a flood (a
// hostile device server), and is dropped rather than kept.
constexpr std::size_t kMaxFrameBytes = kMaxPayload + kFrameOverhead;
constexpr std::size_t kMaxReadBytes = 2 * kMaxFrameBytes;
constexpr std::size_t kMaxDiscardBytes = 4 * kMaxFrameBytes;

class Transport {
  public:
    virtual ~Transport() = default;

    virtual IoStatus write(std::string_view bytes, Clock::time_point deadline) = 0;
    // Appends whatever arrives to out, waiting until the deadline for at least one byte, and
    // never more than kMaxReadBytes at once.
    virtual IoStatus read(std::string& out, Clock::time_point deadline) = 0;
    // Drops bytes that arrived after the previous exchange ended, late replies included,
    // without waiting: at most kMaxDiscardBytes, so that a line that never falls silent
    // cannot keep the caller here (what is left is skipped as noise by the frame scanner).
    virtual void discardInput() = 0;
    // Why the line failed, when the transport can tell more than that it did (a device
    // server that closed the connection); the port name is left for the caller.
    virtual std::optional<PortProblem> lineProblem() const { return std::nullopt; }
};

}  // namespace qavix::link
