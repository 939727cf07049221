#pragma once
// The byte stream of a connection to a device server, with every wait bounded by the
// caller's deadline. It remembers why it ended: the server closing the connection (another
// client took the port, or the server stopped) is told apart from a time-out.

#include <optional>
#include <string>
#include <string_view>

#include "PortProblem.h"
#include "Transport.h"

namespace qavix::link {

class SocketStream {
  public:
    // Takes over fd (connected, non-blocking). `target` is the port value, for messages.
    SocketStream(int fd, std::string target);
    ~SocketStream();
    SocketStream(const SocketStream&) = delete;
    SocketStream& operator=(const SocketStream&) = delete;

    IoStatus send(std::string_view bytes, Clock::time_point deadline);
    // Appends what arrives (one read, at most kMaxReadBytes), waiting until the deadline for
    // at least one byte.
    IoStatus receive(std::string& out, Clock::time_point deadline);
    // Appends what has arrived already, without waiting, up to `limit` bytes.
    void drain(std::string& out, std::size_t limit);
    // Appends, up to `limit` bytes, what the server sent and nobody read before the stream
    // ended. A server that says why it closes and goes may reset the connection when our
    // next write reaches it: that write fails, but its words are still waiting here.
    void leftBehind(std::string& out, std::size_t limit);

    // Why the stream ended, once it has.
    const std::optional<PortProblem>& problem() const { return m_problem; }

  private:
    // Reads once, at most `limit` bytes; false when nothing was waiting.
    bool readWaiting(std::string& out, std::size_t limit, IoStatus& status);
    // The stream has ended: the server closed it, or (error != 0) the system's error.
    IoStatus fail(int error = 0);

    int m_fd;
    std::string m_target;
    std::optional<PortProblem> m_problem;
};

// The last data bytes a server sent, so that a server which says why it closes ("Port
// already in use") is quoted, and a port in use is told from one that was taken away.
class LastWords {
  public:
    void note(std::string_view data);
    // The final line of plain text when the data ended a line (frames never hold a line
    // end), else empty.
    std::string words() const;
    // The stream's problem with the server's words and, when they say so, as Busy.
    std::optional<PortProblem> explain(const std::optional<PortProblem>& problem) const;

  private:
    std::string m_tail;
};

std::string serverWords(std::string_view tail);

}  // namespace qavix::link
