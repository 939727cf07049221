#include "SocketStream.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qavix::link {

namespace {

constexpr std::size_t kTailSize = 160;
constexpr std::string_view kInUse = "in use";

bool containsIgnoringCase(std::string_view text, std::string_view word) {
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        bool match = true;
        for (std::size_t k = 0; k < word.size() && match; ++k) {
            char c = text[i + k];
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
            match = c == word[k];
        }
        if (match) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string serverWords(std::string_view tail) {
    std::size_t end = tail.size();
    if (end == 0 || tail[end - 1] != '\n') {
        return {};
    }
    while (end > 0 && (tail[end - 1] == '\n' || tail[end - 1] == '\r')) {
        --end;
    }
    std::size_t start = end;
    while (start > 0 && tail[start - 1] >= 0x20 && tail[start - 1] < 0x7F) {
        --start;
    }
    // Text straight after a frame begins with that frame's check character.
    constexpr char kEndOfFrame = 0x03;
    if (start > 0 && start < end && tail[start - 1] == kEndOfFrame) {
        ++start;
    }
    return std::string(tail.substr(start, end - start));
}

SocketStream::SocketStream(int fd, std::string target) : m_fd(fd), m_target(std::move(target)) {}

SocketStream::~SocketStream() {
    ::close(m_fd);
}

IoStatus SocketStream::fail(int error) {
    if (!m_problem) {
        PortProblem problem;
        // A reset is the server going away as much as an orderly close is.
        const bool closed = error == 0 || error == ECONNRESET || error == EPIPE;
        problem.kind = closed ? PortProblemKind::Dropped : PortProblemKind::Io;
        problem.device = m_target;
        if (!closed) {
            problem.detail = std::strerror(error);
        }
        m_problem = std::move(problem);
    }
    return IoStatus::Failed;
}

void LastWords::note(std::string_view data) {
    m_tail.append(data.data(), data.size());
    if (m_tail.size() > kTailSize) {
        m_tail.erase(0, m_tail.size() - kTailSize);
    }
}

std::string LastWords::words() const {
    return serverWords(m_tail);
}

std::optional<PortProblem> LastWords::explain(const std::optional<PortProblem>& problem) const {
    if (!problem) {
        return problem;
    }
    PortProblem explained = *problem;
    explained.detail = words();
    if (containsIgnoringCase(explained.detail, kInUse)) {
        explained.kind = PortProblemKind::Busy;
    }
    return explained;
}

void SocketStream::leftBehind(std::string& out, std::size_t limit) {
    char buffer[kMaxReadBytes];
    const std::size_t end = out.size() + limit;
    while (out.size() < end) {
        const ssize_t got = ::recv(m_fd, buffer, std::min(end - out.size(), sizeof buffer), 0);
        if (got > 0) {
            out.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // nothing more waiting, or the end after it
        }
    }
}

IoStatus SocketStream::send(std::string_view bytes, Clock::time_point deadline) {
    if (m_problem) {
        return IoStatus::Failed;
    }
    while (!bytes.empty()) {
        // MSG_NOSIGNAL: a server gone away must not raise SIGPIPE in the program.
        const ssize_t sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && errno != EAGAIN) {
            return fail(errno);
        }
        pollfd pfd{m_fd, POLLOUT, 0};
        const int ready = pollUntil(pfd, deadline);
        if (ready == 0) {
            return IoStatus::TimedOut;
        }
        if (ready < 0) {
            return fail(errno);
        }
    }
    return IoStatus::Ok;
}

bool SocketStream::readWaiting(std::string& out, std::size_t limit, IoStatus& status) {
    char buffer[kMaxReadBytes];
    for (;;) {
        const ssize_t got = ::recv(m_fd, buffer, std::min(limit, sizeof buffer), 0);
        if (got > 0) {
            // Acknowledge at once: a server that sends a long reply in two segments with
            // Nagle's algorithm on holds the second until the first is acknowledged, and a
            // delayed acknowledgement would cost 40 ms per reply.
            const int on = 1;
            setsockopt(m_fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
            out.append(buffer, static_cast<std::size_t>(got));
            status = IoStatus::Ok;
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return false;
        }
        // End of stream, or a reset: the server is gone.
        status = fail(got == 0 ? 0 : errno);
        return true;
    }
}

IoStatus SocketStream::receive(std::string& out, Clock::time_point deadline) {
    if (m_problem) {
        return IoStatus::Failed;
    }
    for (;;) {
        IoStatus status = IoStatus::Ok;
        if (readWaiting(out, kMaxReadBytes, status)) {
            return status;
        }
        pollfd pfd{m_fd, POLLIN, 0};
        const int ready = pollUntil(pfd, deadline);
        if (ready == 0) {
            return IoStatus::TimedOut;
        }
        if (ready < 0) {
            return fail(errno);
        }
    }
}

void SocketStream::drain(std::string& out, std::size_t limit) {
    IoStatus status = IoStatus::Ok;
    const std::size_t end = out.size() + limit;
    while (!m_problem && out.size() < end && readWaiting(out, end - out.size(), status)) {
    }
}

}  // namespace qavix::link
