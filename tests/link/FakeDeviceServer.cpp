#include "FakeDeviceServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace qavix::link::test {

namespace {

int listenOnLoopback(int backlog, int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, backlog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        port = 0;
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

bool waitReadable(int fd, std::chrono::steady_clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        return false;
    }
    pollfd pfd{fd, POLLIN, 0};
    return ::poll(&pfd, 1, static_cast<int>(left.count())) > 0;
}

}  // namespace

FakeDeviceServer::FakeDeviceServer(Script script, int connections) {
    m_listen = listenOnLoopback(1, m_port);
    if (m_listen < 0) {
        return;
    }
    m_thread = std::thread([this, connections, script = std::move(script)] {
        for (int i = 0; i < connections; ++i) {
            // Bounded: a client that never comes ends the script's turn after a few seconds.
            if (!waitReadable(m_listen,
                              std::chrono::steady_clock::now() + std::chrono::seconds(5))) {
                return;
            }
            const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) {
                return;
            }
            ++m_accepted;
            script(fd);
            ::close(fd);
        }
    });
}

FakeDeviceServer::~FakeDeviceServer() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listen >= 0) {
        ::close(m_listen);
    }
}

void sendAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) {
            return;
        }
        done += static_cast<std::size_t>(sent);
    }
}

std::string readUntil(int fd, const std::string& suffix, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    std::string got;
    while (got.size() < suffix.size() ||
           got.compare(got.size() - suffix.size(), suffix.size(), suffix) != 0) {
        if (!waitReadable(fd, until)) {
            break;
        }
        char c = 0;
        if (::recv(fd, &c, 1, 0) != 1) {
            break;
        }
        got += c;
    }
    return got;
}

std::string readUntilClosed(int fd, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    std::string got;
    char buffer[512];
    while (waitReadable(fd, until)) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

bool floodUntilClosed(int fd, const std::string& bytes, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    std::size_t offset = 0;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd pfd{fd, POLLOUT, 0};
        if (left.count() <= 0 || ::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        if ((pfd.revents & (POLLERR | POLLHUP)) != 0) {
            return true;
        }
        const ssize_t sent =
            ::send(fd, bytes.data() + offset, bytes.size() - offset, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN && errno != EINTR) {
            return true;
        }
        if (sent > 0) {
            offset = (offset + static_cast<std::size_t>(sent)) % bytes.size();
        }
    }
}

int closedPort() {
    int port = 0;
    const int fd = listenOnLoopback(1, port);
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

Blackhole::Blackhole() {
    m_listen = listenOnLoopback(0, m_port);
    if (m_listen < 0) {
        return;
    }
    // With a backlog of 0 one connection waits for accept; it fills the queue, so the
    // kernel drops every later attempt's SYN.
    m_filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(m_port));
    if (::connect(m_filler, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        m_port = 0;
    }
}

Blackhole::~Blackhole() {
    if (m_filler >= 0) {
        ::close(m_filler);
    }
    if (m_listen >= 0) {
        ::close(m_listen);
    }
}

}  // namespace qavix::link::test
