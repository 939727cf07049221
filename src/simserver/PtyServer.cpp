#include "PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "BaudRate.h"
#include "Translate.h"

namespace qavix::sim::tool {

namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr int kDefaultBaud = 9600;

bool makeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

PtyServer::PtyServer(link::FrameServer& server, LineRate rate, std::ostream* log)
    : m_server(server), m_rate(rate), m_log(log) {}

PtyServer::~PtyServer() {
    if (m_slave >= 0) {
        ::close(m_slave);
    }
    if (m_master >= 0) {
        ::close(m_master);
    }
}

bool PtyServer::open(std::string& error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = i18n::fill(QX_("擬似端末: %1"), {std::strerror(errno)});
        return false;
    }
    const char* name = ptsname(m_master);
    if (name == nullptr) {
        error = i18n::fill(QX_("擬似端末の名前: %1"), {std::strerror(errno)});
        return false;
    }
    m_slavePath = name;
    // Our own slave descriptor: without it the master reads EIO whenever no client has
    // the device open. Raw from the start, or the line discipline would echo requests.
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0 || !makeRaw(m_slave)) {
        error = m_slavePath + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

int PtyServer::baud() {
    if (m_rate.baud > 0) {
        return m_rate.baud;
    }
    const int set = link::readBaudRate(m_slave);
    const int baud = set > 0 ? set : kDefaultBaud;
    if (m_log != nullptr && baud != m_loggedBaud) {
        *m_log << "line-rate " << baud << std::endl;
        m_loggedBaud = baud;
    }
    return baud;
}

void PtyServer::receive() {
    char buffer[kReadChunk];
    const ssize_t got = ::read(m_master, buffer, sizeof buffer);
    if (got <= 0) {
        return;
    }
    const auto now = ReplyPacer::Clock::now();
    auto replies = m_server.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
    if (!replies.empty()) {
        m_pacer.add(std::move(replies), now, m_rate.bitsPerCharacter,
                    m_rate.baud != 0 ? baud() : 0);
    }
}

void PtyServer::sendDue() {
    const std::string bytes = m_pacer.takeDue(ReplyPacer::Clock::now());
    if (!bytes.empty()) {
        // A client that stopped reading loses what does not fit, as on a real line.
        const ssize_t written = ::write(m_master, bytes.data(), bytes.size());
        (void)written;
    }
}

void PtyServer::run(int stopFd) {
    for (;;) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int count = stopFd >= 0 ? 2 : 1;
        timespec wait{};
        const bool timed = m_pacer.nextWait(wait);
        const int ready =
            ::ppoll(fds, static_cast<nfds_t>(count), timed ? &wait : nullptr, nullptr);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if (count == 2 && fds[1].revents != 0) {
            char sink[kReadChunk];
            if (::read(stopFd, sink, sizeof sink) <= 0) {
                return;
            }
        }
        if ((fds[0].revents & POLLIN) != 0) {
            receive();
        }
        sendDue();
    }
}

}  // namespace qavix::sim::tool
