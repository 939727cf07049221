#include "JsonlSink.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Translate.h"
#include "files/JsonWriter.h"

namespace qavix::cli {

std::string jsonlLine(const telemetry::OutMessage& message) {
    std::string line = "{\"topic\":";
    json::appendString(line, message.topic);
    // The payloads are JSON themselves and go in as they are.
    line += ",\"payload\":" + message.payload;
    line += message.retain ? ",\"retain\":true}" : ",\"retain\":false}";
    return line;
}

JsonlSink::~JsonlSink() {
    if (m_ownFd && m_fd >= 0) {
        ::close(m_fd);
    }
}

bool JsonlSink::open(const std::string& path, std::string& error) {
    m_path = path;
    if (path == "-") {
        m_fd = STDOUT_FILENO;
        return true;
    }
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY, 0644);
    if (m_fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    m_ownFd = true;
    return true;
}

bool JsonlSink::write(const telemetry::OutMessage& message, std::string& error) {
    const std::string line = jsonlLine(message) + "\n";
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(m_fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = (m_path == "-" ? std::string(QX_("標準出力")) : m_path) + ": " +
                    std::strerror(n < 0 ? errno : EIO);
            // A part of a line would spoil the next one for a reader: take it back.
            if (done > 0 && m_ownFd) {
                const off_t end = ::lseek(m_fd, 0, SEEK_END);
                if (end >= static_cast<off_t>(done)) {
                    (void)::ftruncate(m_fd, end - static_cast<off_t>(done));
                }
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace qavix::cli
