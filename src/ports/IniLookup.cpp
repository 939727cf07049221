#include "IniLookup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "IniText.h"
#include "ShiftJis.h"

namespace qavix::link {

namespace {

// The whole file, or nothing when it is not a regular file that can be read within the
// cap. Opened without waiting, so a FIFO put in its place cannot hold the caller.
std::optional<std::string> readSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        bytes.emplace();
        char buffer[8192];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 || bytes->size() + static_cast<size_t>(n) > ini::kMaxFileSize) {
                bytes.reset();
                break;
            }
            if (n == 0) {
                break;
            }
            bytes->append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    return bytes;
}

}  // namespace

std::optional<std::string> readIniValue(const std::string& path, const std::string& section,
                                        const std::string& key) {
    const std::optional<std::string> bytes = readSmallFile(path);
    if (!bytes || !ini::textProblem(*bytes).empty()) {
        return std::nullopt;
    }
    const std::string text = sjis::fromCp932(*bytes).text;
    bool inSection = false;
    for (const std::string_view line : ini::splitLines(text)) {
        if (const auto name = ini::headerName(line)) {
            if (inSection) {
                return std::nullopt;  // a later section of the same name is not looked at
            }
            inSection = ini::sameName(*name, ini::trim(section));
            continue;
        }
        if (!inSection) {
            continue;
        }
        const ini::Entry entry = ini::parseEntry(line);
        if (entry.kind == ini::Entry::Key && ini::sameName(entry.key, ini::trim(key))) {
            if (!entry.value) {
                return std::nullopt;
            }
            return std::string(ini::unquote(*entry.value));
        }
    }
    return std::nullopt;
}

}  // namespace qavix::link
