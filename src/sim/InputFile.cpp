#include "sim/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qavix::sim {

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "a device";
}

}  // namespace

bool readInputFile(const std::string& path, std::string& bytes, std::string& error) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = path + " is " + kindOf(info.st_mode) + ", not a regular file";
        return false;
    }
    const std::string tooLarge =
        path + " is larger than " + std::to_string(kMaxInputFileSize / (1024 * 1024)) + " MiB";
    if (static_cast<unsigned long long>(info.st_size) > kMaxInputFileSize) {
        error = tooLarge;
        return false;
    }
    std::string content;
    content.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        if (n == 0) {
            break;
        }
        // The file may have grown since it was measured.
        if (content.size() + static_cast<size_t>(n) > kMaxInputFileSize) {
            error = tooLarge;
            return false;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
    bytes = std::move(content);
    return true;
}

}  // namespace qavix::sim
