#include "TcpServer.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Translate.h"

namespace qavix::sim::tool {

namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr int kBacklog = 4;
constexpr int kMaxPort = 65535;

std::string numericHost(const sockaddr* address, socklen_t length, int& port) {
    char host[NI_MAXHOST] = {};
    char service[NI_MAXSERV] = {};
    if (getnameinfo(address, length, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return {};
    }
    port = std::atoi(service);
    return host;
}

}  // namespace

bool parseListenAddress(const std::string& text, std::string& host, int& port, std::string& error) {
    std::string portText = text;
    host = kDefaultListenHost;
    const auto colon = text.rfind(':');
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        portText = text.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        } else if (host.find(':') != std::string::npos) {
            error = QX_("--listen: IPv6 アドレスは [::1]:4001 のように角かっこで囲みます");
            return false;
        }
        if (host.empty()) {
            error = QX_("--listen: コロンの前にホストがありません");
            return false;
        }
    }
    if (portText.empty() || portText.size() > 5 ||
        portText.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(portText) > kMaxPort) {
        error =
            i18n::fill(QX_("--listen: ポートは 0..65535 の数値です（指定: \"%1\"）"), {portText});
        return false;
    }
    port = std::stoi(portText);
    return true;
}

TcpServer::TcpServer(link::FrameServer& server, LineRate rate) : m_server(server), m_rate(rate) {}

TcpServer::~TcpServer() {
    dropClient();
    if (m_listen >= 0) {
        ::close(m_listen);
    }
}

bool TcpServer::open(const std::string& host, int port, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int lookup = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (lookup != 0) {
        error = host + ": " + gai_strerror(lookup);
        return false;
    }
    error = i18n::fill(QX_("%1: 待ち受けるアドレスがありません"), {host});
    for (const addrinfo* a = found; a != nullptr && m_listen < 0; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        const int on = 1;
        if (fd < 0) {
            continue;
        }
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, kBacklog) != 0) {
            error = host + ":" + service + ": " + std::strerror(errno);
            ::close(fd);
            continue;
        }
        m_listen = fd;
    }
    freeaddrinfo(found);
    if (m_listen < 0) {
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&bound), &length);
    int boundPort = 0;
    const std::string boundHost =
        numericHost(reinterpret_cast<sockaddr*>(&bound), length, boundPort);
    const bool ipv6 = boundHost.find(':') != std::string::npos;
    m_target =
        "tcp:" + (ipv6 ? "[" + boundHost + "]" : boundHost) + ":" + std::to_string(boundPort);
    return true;
}

void TcpServer::dropClient() {
    if (m_client >= 0) {
        ::close(m_client);
        m_client = -1;
    }
    m_pacer.clear();
}

void TcpServer::accept() {
    const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
        return;
    }
    // The line has one end: the newest client takes it, as on a device server with
    // kickolduser, so a client that vanished without closing locks nobody out.
    dropClient();
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_client = fd;
}

void TcpServer::receive() {
    char buffer[kReadChunk];
    const ssize_t got = ::recv(m_client, buffer, sizeof buffer, 0);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
        dropClient();
        return;
    }
    if (got < 0) {
        return;
    }
    const auto now = ReplyPacer::Clock::now();
    m_pacer.add(m_server.feed(std::string_view(buffer, static_cast<std::size_t>(got))), now,
                m_rate.bitsPerCharacter, m_rate.baud > 0 ? m_rate.baud : 0);
}

void TcpServer::run(int stopFd) {
    for (;;) {
        pollfd fds[3] = {{m_listen, POLLIN, 0}, {m_client, POLLIN, 0}, {stopFd, POLLIN, 0}};
        timespec wait{};
        const bool timed = m_pacer.nextWait(wait);
        const int ready = ::ppoll(fds, 3, timed ? &wait : nullptr, nullptr);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if (stopFd >= 0 && fds[2].revents != 0) {
            char sink[kReadChunk];
            if (::read(stopFd, sink, sizeof sink) <= 0) {
                return;
            }
        }
        // The present client's last bytes first, then a newcomer.
        if (m_client >= 0 && fds[1].fd >= 0 && fds[1].revents != 0) {
            receive();
        }
        if ((fds[0].revents & POLLIN) != 0) {
            accept();
        }
        const std::string due = m_pacer.takeDue(ReplyPacer::Clock::now());
        if (m_client >= 0 && !due.empty()) {
            // A client that stopped reading loses what does not fit, as on a real line.
            const ssize_t sent = ::send(m_client, due.data(), due.size(), MSG_NOSIGNAL);
            (void)sent;
        }
    }
}

}  // namespace qavix::sim::tool
