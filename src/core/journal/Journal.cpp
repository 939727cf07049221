#include "journal/Journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "Translate.h"
#include "files/IsoTime.h"

namespace qavix::journal {

namespace {

namespace fs = std::filesystem;

// A descriptor closed on every way out.
class FileHandle {
  public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return m_fd; }
    bool open() const { return m_fd >= 0; }

  private:
    int m_fd;
};

std::string systemError(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

bool isJournalFileName(const std::string& name) {
    // "YYYY-MM.jsonl"
    const std::string ext = kFileExtension;
    if (name.size() != 7 + ext.size() || name.compare(7, ext.size(), ext) != 0) {
        return false;
    }
    for (size_t i = 0; i < 7; ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (i == 4 ? name[i] != '-' : !digit) {
            return false;
        }
    }
    return true;
}

// Waits for the folder's lock, at most kLockWait. An open file description lock: it keeps
// out other processes and other descriptors of this one, and goes with the descriptor.
bool lockFolder(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + Journal::kLockWait;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if ((errno != EAGAIN && errno != EACCES && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct LastLine {
    std::string bytes;
    bool terminated = true;  // ends in a line break
    bool exists = false;
};

// The last line of a file, read from its end.
bool readLastLine(const std::string& path, LastLine& last, std::string& error) {
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd.open() || ::fstat(fd.get(), &st) != 0) {
        error = systemError(path);
        return false;
    }
    off_t end = st.st_size;
    if (end == 0) {
        return true;
    }
    constexpr off_t kChunk = 4096;
    std::string tail;
    off_t at = end;
    bool first = true;
    while (at > 0) {
        const off_t size = std::min(kChunk, at);
        at -= size;
        std::string chunk(static_cast<size_t>(size), '\0');
        if (::pread(fd.get(), chunk.data(), chunk.size(), at) != size) {
            error = systemError(path);
            return false;
        }
        tail.insert(0, chunk);
        if (first) {
            last.terminated = tail.back() == '\n';
            first = false;
        }
        const size_t searchEnd = last.terminated ? tail.size() - 1 : tail.size();
        const size_t br = searchEnd == 0 ? std::string::npos : tail.rfind('\n', searchEnd - 1);
        if (br != std::string::npos) {
            last.bytes = tail.substr(br + 1, searchEnd - br - 1);
            last.exists = true;
            return true;
        }
    }
    last.bytes = last.terminated ? tail.substr(0, tail.size() - 1) : tail;
    last.exists = true;
    return true;
}

bool writeWhole(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool syncFolder(const std::string& folder) {
    FileHandle fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.open() && ::fsync(fd.get()) == 0;
}

}  // namespace

std::string monthFileName(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char name[16];
    std::strftime(name, sizeof name, "%Y-%m", &local);
    return std::string(name) + kFileExtension;
}

std::vector<std::string> journalFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (isJournalFileName(name) && it->is_regular_file(typeError)) {
            files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

AppendResult Journal::append(Record& record) {
    std::lock_guard<std::mutex> guard(m_mutex);
    AppendResult result;
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    if (ec) {
        result.error = m_folder + ": " + ec.message();
        return result;
    }
    const std::string lockPath = (fs::path(m_folder) / kLockFileName).string();
    FileHandle lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (!lock.open()) {
        result.error = systemError(lockPath);
        return result;
    }
    if (!lockFolder(lock.get())) {
        result.error = m_folder + ": " +
                       (errno == EAGAIN || errno == EACCES || errno == EINTR
                            ? QX_("他のプログラムが変更履歴のロックを長く保持しています")
                            : std::strerror(errno));
        return result;
    }

    const std::time_t now = std::time(nullptr);
    const std::vector<std::string> files = journalFiles(m_folder);
    // A clock behind another machine's must not start an older month: the chain runs in the
    // order of the file names.
    std::string name = monthFileName(now);
    LastLine last;
    if (!files.empty()) {
        if (!readLastLine(files.back(), last, result.error)) {
            return result;
        }
        name = std::max(name, fs::path(files.back()).filename().string());
    }
    const std::string path = (fs::path(m_folder) / name).string();
    const bool sameFile = !files.empty() && files.back() == path;

    std::string bytes;
    std::string prev = kNoPreviousRecord;
    if (last.exists) {
        prev = lineDigest(last.bytes);
        record.afterDamage = !last.terminated || !recordIntact(last.bytes);
        if (!last.terminated && sameFile) {
            bytes += '\n';  // the cut line stays as it is; the new record starts its own
        }
    }
    if (record.time.empty()) {
        record.time = isoLocalTime(now);
    }
    const std::string line = formatRecord(record, prev);
    bytes += line;
    bytes += '\n';

    const bool created = !sameFile;
    FileHandle out(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    struct stat st {};
    if (!out.open() || ::fstat(out.get(), &st) != 0) {
        result.error = systemError(path);
        return result;
    }
    // fdatasync is the fsync an append needs: the data and the new size reach the disk,
    // the modification time may follow later.
    const bool written = writeWhole(out.get(), bytes) && ::fdatasync(out.get()) == 0;
    // A new file's name must reach the disk with it.
    if (!written || (created && !syncFolder(m_folder))) {
        result.error = systemError(written ? m_folder : path);
        // Nothing half-recorded: what went in is taken out again.
        if (::ftruncate(out.get(), st.st_size) == 0) {
            ::fdatasync(out.get());
        }
        return result;
    }
    record.prev = prev;
    record.hash = ownDigest(line);
    result.ok = true;
    return result;
}

}  // namespace qavix::journal
