#include "files/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qavix::fileio {

namespace {

std::string errnoText(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

// Closes a descriptor when it goes out of scope unless released.
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
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

  private:
    int m_fd;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The real file behind `path`, so that saving through a link replaces the file it names,
// not the link.
std::filesystem::path resolveTarget(const std::string& path) {
    std::error_code ec;
    std::filesystem::path target(path);
    if (std::filesystem::is_symlink(target, ec)) {
        auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) {
            return resolved;
        }
    }
    return target;
}

std::filesystem::path temporaryName(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path name = target.parent_path();
    name /= "." + target.filename().string() + ".tmp." + std::to_string(::getpid()) + "." +
            std::to_string(counter++);
    return name;
}

std::string notRegularText(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "is a folder, not a file";
    }
    if (S_ISFIFO(mode)) {
        return "is a FIFO, not a regular file";
    }
    if (S_ISSOCK(mode)) {
        return "is a socket, not a regular file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "is a device, not a regular file";
    }
    return "is not a regular file";
}

void syncFolder(const std::filesystem::path& folder) {
    const std::string name = folder.empty() ? std::string(".") : folder.string();
    Descriptor fd(::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        ::fsync(fd.get());  // best effort: some file systems refuse it on folders
    }
}

}  // namespace

ReadResult readFile(const std::string& path) {
    ReadResult result;
    // Without blocking: opening a FIFO for reading would otherwise wait for a writer that
    // may never come. What is not a regular file is refused before anything is read.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        const int error = errno;
        result.status = error == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
        result.error = errnoText(path, error);
        return result;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        result.error = errnoText(path, errno);
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.error = path + ": " + notRegularText(info.st_mode);
        return result;
    }
    if (static_cast<unsigned long long>(info.st_size) > kMaxReadSize) {
        result.status = ReadStatus::TooLarge;
        result.error = path + ": file too large";
        return result;
    }
    // One allocation of the size the file has now; a file that grows meanwhile is still
    // read up to the cap.
    result.bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.error = errnoText(path, errno);
            result.bytes.clear();
            return result;
        }
        if (n == 0) {
            break;
        }
        if (result.bytes.size() + static_cast<size_t>(n) > kMaxReadSize) {
            result.status = ReadStatus::TooLarge;
            result.error = path + ": file too large";
            result.bytes = std::string();
            return result;
        }
        result.bytes.append(buffer, static_cast<size_t>(n));
    }
    result.status = ReadStatus::Ok;
    return result;
}

WriteResult checkWriteTarget(const std::string& path) {
    WriteResult result;
    if (path.empty()) {
        result.error = "no file name";
        return result;
    }
    const std::filesystem::path target = resolveTarget(path);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            result.error = target.string() + ": is a folder";
            return result;
        }
        if (!S_ISREG(existing.st_mode)) {
            result.error = target.string() + ": is not a regular file (a device, FIFO or socket)";
            return result;
        }
        if ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            result.error = target.string() + ": the file is read-only";
            return result;
        }
    }
    // The new file is made beside the target and renamed over it, so the folder must exist
    // and take a new file; found out now rather than after a long run (a scan, a read from
    // the controller) whose result would then be lost.
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    struct stat parent {};
    if (::stat(folder.c_str(), &parent) != 0) {
        result.error = errnoText(target.string() + ": its folder " + folder.string(), errno);
    } else if (!S_ISDIR(parent.st_mode)) {
        result.error = target.string() + ": " + folder.string() + " is not a folder";
    } else if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        result.error = errnoText(target.string() + ": its folder " + folder.string(), errno);
    } else {
        result.ok = true;
    }
    return result;
}

WriteResult writeFileAtomic(const std::string& path, std::string_view bytes) {
    WriteResult result = checkWriteTarget(path);
    if (!result.ok) {
        return result;
    }
    result.ok = false;
    const std::filesystem::path target = resolveTarget(path);
    struct stat previous {};
    const bool hadTarget = ::stat(target.c_str(), &previous) == 0;

    std::filesystem::path temporary;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temporary = temporaryName(target);
        raw = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) {
            break;
        }
    }
    if (raw < 0) {
        result.error = errnoText(target.string(), errno);
        return result;
    }
    Descriptor fd(raw);
    bool written = writeAll(fd.get(), bytes);
    int error = errno;
    if (written && hadTarget) {
        ::fchmod(fd.get(), previous.st_mode & 07777);  // keep the file's permissions
    }
    if (written && ::fsync(fd.get()) != 0) {
        written = false;
        error = errno;
    }
    if (::close(fd.release()) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        result.error = errnoText(target.string(), error);
        return result;
    }
    syncFolder(target.parent_path());
    result.ok = true;
    return result;
}

}  // namespace qavix::fileio
