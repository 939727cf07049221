#include "files/FileIo.h"

#include "Translate.h"
#include "files/Descriptor.h"
#include "files/WriteTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace qavix::fileio {

namespace {

std::string errnoText(const std::string& what, int error) {
    return i18n::fill(QX_("%1: %2"), {what, std::strerror(error)});
}

WriteResult failure(const std::string& path, int error) {
    WriteResult result;
    result.error = errnoText(path, error);
    result.errorNumber = error;
    return result;
}

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

std::string temporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    // A long name is cut so that the temporary one still fits the file system's limit.
    constexpr size_t kKeptNameBytes = 100;
    return "." + target.substr(0, kKeptNameBytes) + ".tmp." + std::to_string(::getpid()) + "." +
           std::to_string(counter++);
}

// %1 the path.
const char* notRegularPattern(mode_t mode) {
    if (S_ISDIR(mode)) {
        return QX_("%1: フォルダです（ファイルではありません）");
    }
    if (S_ISFIFO(mode)) {
        return QX_("%1: FIFO です（通常のファイルではありません）");
    }
    if (S_ISSOCK(mode)) {
        return QX_("%1: ソケットです（通常のファイルではありません）");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QX_("%1: デバイスです（通常のファイルではありません）");
    }
    return QX_("%1: 通常のファイルではありません");
}

void syncFolder(int folder) {
    Descriptor fd(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
        result.error = i18n::fill(notRegularPattern(info.st_mode), {path});
        return result;
    }
    if (static_cast<unsigned long long>(info.st_size) > kMaxReadSize) {
        result.status = ReadStatus::TooLarge;
        result.error = i18n::fill(QX_("%1: ファイルが大きすぎます"), {path});
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
            result.error = i18n::fill(QX_("%1: ファイルが大きすぎます"), {path});
            result.bytes = std::string();
            return result;
        }
        result.bytes.append(buffer, static_cast<size_t>(n));
    }
    result.status = ReadStatus::Ok;
    return result;
}

WriteResult checkWriteTarget(const std::string& path) {
    return WriteTarget::open(path).check();
}

WriteResult writeFileAtomic(const std::string& path, std::string_view bytes) {
    const WriteTarget target = WriteTarget::open(path);
    WriteResult result = target.check();
    if (!result.ok) {
        return result;
    }
    result.ok = false;
    const int folder = target.folder();
    struct stat previous {};
    const bool hadTarget = ::fstatat(folder, target.name().c_str(), &previous, 0) == 0;

    std::string temporary;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temporary = temporaryName(target.name());
        raw = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) {
            break;
        }
    }
    if (raw < 0) {
        return failure(target.shown(), errno);
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
    // Within the folder held open since the path was resolved: whatever happens to the path
    // meanwhile, the new file replaces only the name the user's path led to.
    if (written && ::renameat(folder, temporary.c_str(), folder, target.name().c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlinkat(folder, temporary.c_str(), 0);
        return failure(target.shown(), error);
    }
    syncFolder(folder);
    result.ok = true;
    return result;
}

}  // namespace qavix::fileio
