#pragma once
// One open port: sends a request frame, waits for the matching reply until the deadline
// and keeps the last frames for the trace.

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "Transport.h"
#include "sim/Command.h"

namespace qavix::link {

// Longest reply text handed to a caller: the smallest reply buffer of the C interface is
// 1024 bytes, and the terminating NUL must fit.
constexpr std::size_t kMaxReplyText = 1023;

enum class ExchangeStatus {
    Ok,
    TimedOut,    // no matching reply before the deadline
    BadCheck,    // a reply frame arrived with a wrong check character
    Refused,     // the controller answered with an error code
    TooLong,     // the reply text exceeds kMaxReplyText
    LineError,   // the device failed or went away
    Unsendable,  // the request cannot be framed (unit or text out of range)
};

struct ExchangeResult {
    ExchangeStatus status = ExchangeStatus::Ok;
    int controllerError = 0;  // with Refused
    std::string text;         // with Ok
};

class LinkSession {
  public:
    explicit LinkSession(std::unique_ptr<Transport> transport);

    ExchangeResult exchange(const sim::Command& command, std::chrono::milliseconds timeout);

    const std::string& lastSent() const { return m_lastSent; }
    const std::string& lastReceived() const { return m_lastReceived; }
    // Why the line failed, when the transport knows more than that it did.
    std::optional<PortProblem> lineProblem() const { return m_transport->lineProblem(); }

  private:
    ExchangeResult awaitReply(const sim::Command& command, int sequence,
                              Clock::time_point deadline);

    std::unique_ptr<Transport> m_transport;
    int m_sequence = 0;
    std::string m_lastSent;
    std::string m_lastReceived;
};

}  // namespace qavix::link
