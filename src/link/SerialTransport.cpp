#include "SerialTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "BaudRate.h"
#include "Translate.h"

namespace qavix::link {

namespace {

constexpr std::size_t kReadChunk = 512;

bool applySettings(int fd, const PortSettings& settings) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= settings.dataBits == 7 ? CS7 : CS8;
    if (settings.parity != Parity::None) {
        tio.c_cflag |= PARENB;
        if (settings.parity == Parity::Odd) {
            tio.c_cflag |= PARODD;
        }
    }
    if (settings.stopBits == 2) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    // A rate without a Bxxx constant, left by an earlier open, cannot pass through
    // tcsetattr; start from a plain one and set the real rate below.
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        return false;
    }
    return setBaudRate(fd, settings.baud);
}

void closeDevice(int fd) {
    // TIOCEXCL outlives our descriptor while anyone else holds the terminal open.
    ioctl(fd, TIOCNXCL);
    ::close(fd);
}

}  // namespace

std::unique_ptr<SerialTransport> SerialTransport::open(const std::string& path,
                                                       const PortSettings& settings,
                                                       PortProblemKind& failure,
                                                       std::string& detail) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        detail = std::strerror(error);
        failure = kindFromErrno(error);
        return nullptr;
    }
    // flock also conflicts between two descriptors of this process, which TIOCEXCL does
    // not cover (and TIOCEXCL does not stop a privileged process).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        detail = QX_("使用中");
        failure = PortProblemKind::Busy;
        ::close(fd);
        return nullptr;
    }
    if (!isatty(fd)) {
        detail = QX_("端末ではありません");
        failure = PortProblemKind::NotTerminal;
        ::close(fd);
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);
    if (!applySettings(fd, settings)) {
        detail = QX_("通信条件が受け付けられませんでした");
        failure = PortProblemKind::Settings;
        closeDevice(fd);
        return nullptr;
    }
    auto transport = std::unique_ptr<SerialTransport>(new SerialTransport(fd));
    transport->discardInput();
    return transport;
}

SerialTransport::~SerialTransport() {
    closeDevice(m_fd);
}

IoStatus SerialTransport::waitFor(short events, Clock::time_point deadline) {
    pollfd pfd{m_fd, events, 0};
    const int ready = pollUntil(pfd, deadline);
    if (ready < 0) {
        return IoStatus::Failed;
    }
    if (ready == 0) {
        return IoStatus::TimedOut;
    }
    if ((pfd.revents & events) != 0) {
        return IoStatus::Ok;
    }
    // Hang-up or error without the wanted event: the device went away.
    return IoStatus::Failed;
}

IoStatus SerialTransport::write(std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN) {
            return IoStatus::Failed;
        }
        const IoStatus status = waitFor(POLLOUT, deadline);
        if (status != IoStatus::Ok) {
            return status;
        }
    }
    return IoStatus::Ok;
}

IoStatus SerialTransport::read(std::string& out, Clock::time_point deadline) {
    char buffer[kReadChunk];
    bool pollSaidReadable = false;
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0) {
            out.append(buffer, static_cast<std::size_t>(got));
            return IoStatus::Ok;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        // Readable yet nothing to read is an end of file: the other side is gone.
        if ((got < 0 && errno != EAGAIN) || (got == 0 && pollSaidReadable)) {
            return IoStatus::Failed;
        }
        const IoStatus status = waitFor(POLLIN, deadline);
        if (status != IoStatus::Ok) {
            return status;
        }
        pollSaidReadable = true;
    }
}

void SerialTransport::discardInput() {
    tcflush(m_fd, TCIFLUSH);
    // What came since the flush, up to the bound: a line that never falls silent (noise, a
    // flooding peer on a pseudo-terminal) must not keep the request from being sent.
    char buffer[kReadChunk];
    std::size_t dropped = 0;
    ssize_t got = 0;
    while (dropped < kMaxDiscardBytes && (got = ::read(m_fd, buffer, sizeof buffer)) > 0) {
        dropped += static_cast<std::size_t>(got);
    }
}

}  // namespace qavix::link
