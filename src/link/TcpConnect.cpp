#include "TcpConnect.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "HostLookup.h"

namespace qavix::link {

namespace {

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
    pollfd pfd{fd, POLLOUT, 0};
    const int ready = pollUntil(pfd, deadline);
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

}  // namespace

int connectTcp(const NetworkAddress& address, Clock::time_point deadline, PortProblemKind& failure,
               std::string& detail) {
    const AddressList list = lookUpHost(address.host, address.port, deadline, failure, detail);
    if (!list) {
        return -1;
    }
    failure = PortProblemKind::NoAnswer;
    detail.clear();
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        if (passed(deadline)) {
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
