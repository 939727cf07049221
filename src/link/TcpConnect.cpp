#include "TcpConnect.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace qavix::link {

namespace {

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

PortProblemKind kindOfConnectError(int error) {
    switch (error) {
        case ECONNREFUSED:
            return PortProblemKind::Refused;
        case ENETUNREACH:
        case EHOSTUNREACH:
        case ENETDOWN:
        case EHOSTDOWN:
            return PortProblemKind::Unreachable;
        case ETIMEDOUT:
            return PortProblemKind::NoAnswer;
        default:
            return PortProblemKind::Io;
    }
}

// 0 when connected, else the error (ETIMEDOUT when the deadline passed first).
int connectOne(int fd, const addrinfo& address, Clock::time_point deadline) {
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) {
        return 0;
    }
    if (errno != EINPROGRESS && errno != EINTR) {
        return errno;
    }
    for (;;) {
        pollfd pfd{fd, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return ready == 0 ? ETIMEDOUT : errno;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            return errno;
        }
        return error;
    }
}

struct AddrInfoFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

}  // namespace

int connectTcp(const NetworkAddress& address, Clock::time_point deadline, PortProblemKind& failure,
               std::string& detail) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address.port);
    const int lookup = getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found);
    if (lookup != 0) {
        const bool unknown =
            lookup == EAI_NONAME || lookup == EAI_NODATA || lookup == EAI_ADDRFAMILY;
        failure = unknown ? PortProblemKind::HostUnknown : PortProblemKind::LookupFailed;
        detail = lookup == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(lookup);
        return -1;
    }
    std::unique_ptr<addrinfo, AddrInfoFree> list(found);
    failure = PortProblemKind::NoAnswer;
    detail.clear();
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        if (Clock::now() >= deadline) {
            failure = PortProblemKind::NoAnswer;
            detail.clear();
            break;
        }
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            failure = PortProblemKind::Io;
            detail = std::strerror(errno);
            continue;
        }
        const int error = connectOne(fd, *a, deadline);
        if (error == 0) {
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return fd;
        }
        ::close(fd);
        failure = kindOfConnectError(error);
        detail = failure == PortProblemKind::NoAnswer ? std::string() : std::strerror(error);
    }
    return -1;
}

}  // namespace qavix::link
