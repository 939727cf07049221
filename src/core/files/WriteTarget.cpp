#include "files/WriteTarget.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace qavix::fileio {

namespace {

namespace fs = std::filesystem;

// The parts of `path` in reverse order, so that the next one is at the back.
std::vector<std::string> partsReversed(const std::string& path) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at < path.size()) {
        const size_t slash = std::min(path.find('/', at), path.size());
        if (slash > at) {
            parts.push_back(path.substr(at, slash - at));
        }
        at = slash + 1;
    }
    return {parts.rbegin(), parts.rend()};
}

// The kernel's protected_symlinks rule: in a sticky folder that everyone may write, a link
// is followed only when it belongs to whoever follows it or to the folder's owner. Anyone
// else may have put it there to point at a file the user never meant to replace.
bool mayFollow(const struct stat& folder, const struct stat& link) {
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

std::string shownFolder(const fs::path& folder) {
    return folder.empty() ? std::string(".") : folder.string();
}

}  // namespace

WriteTarget::WriteTarget(std::string path) : m_shown(std::move(path)) {}

WriteTarget WriteTarget::open(const std::string& path) {
    WriteTarget target(path);
    target.resolve();
    return target;
}

bool WriteTarget::fail(const std::string& message, int error) {
    m_problem.ok = false;
    m_problem.error = message;
    m_problem.errorNumber = error;
    m_folder.reset(-1);
    return false;
}

void WriteTarget::resolve() {
    const std::string path = m_shown;
    if (path.empty()) {
        fail("no file name");
        return;
    }
    if (path.back() == '/') {
        fail(path + ": names a folder, not a file");
        return;
    }
    std::vector<std::string> pending = partsReversed(path);
    const bool absolute = path.front() == '/';
    m_folder.reset(::open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    fs::path walked = absolute ? fs::path("/") : fs::path();
    bool followed = false;
    int links = 0;
    while (!pending.empty()) {
        if (m_folder.get() < 0) {
            fail(path + ": its folder " + shownFolder(walked) + ": " + std::strerror(errno), errno);
            return;
        }
        const std::string part = pending.back();
        pending.pop_back();
        const bool last = pending.empty();
        struct stat info {};
        if (::fstatat(m_folder.get(), part.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            if (error == ENOENT && last) {
                m_name = part;
                break;
            }
            fail(path + ": its folder " + shownFolder(walked / part) + ": " + std::strerror(error),
                 error);
            return;
        }
        if (S_ISLNK(info.st_mode)) {
            struct stat folder {};
            if (++links > kMaxSymbolicLinks || ::fstat(m_folder.get(), &folder) != 0) {
                fail(path + ": " + std::strerror(ELOOP), ELOOP);
                return;
            }
            if (!mayFollow(folder, info)) {
                fail(path + ": " + (walked / part).string() +
                         " is a symbolic link of another user in a folder that everyone may "
                         "write; it is not followed",
                     EACCES);
                return;
            }
            char target[PATH_MAX];
            const ssize_t n = ::readlinkat(m_folder.get(), part.c_str(), target, sizeof target);
            if (n <= 0 || static_cast<size_t>(n) >= sizeof target) {
                const int error = n < 0 ? errno : ENAMETOOLONG;
                fail(path + ": " + std::strerror(error), error);
                return;
            }
            const std::string text(target, static_cast<size_t>(n));
            for (std::string& p : partsReversed(text)) {
                pending.push_back(std::move(p));
            }
            if (text.front() == '/') {
                m_folder.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
                walked = "/";
            }
            if (pending.empty()) {  // a link to "/"
                fail(path + ": is a folder", EISDIR);
                return;
            }
            followed = true;
            continue;
        }
        if (last) {
            m_name = part;
            break;
        }
        if (!S_ISDIR(info.st_mode)) {
            fail(path + ": " + shownFolder(walked / part) + " is not a folder", ENOTDIR);
            return;
        }
        // Opened without following: a folder swapped for a link meanwhile is not entered.
        m_folder.reset(
            ::openat(m_folder.get(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        walked /= part;
    }
    if (m_name.empty()) {  // "/" itself
        fail(path + ": is a folder", EISDIR);
        return;
    }
    m_folderShown = shownFolder(walked);
    if (followed) {
        m_shown = (walked / m_name).lexically_normal().string();
    }
    m_problem.ok = true;
}

WriteResult WriteTarget::check() const {
    if (!m_problem.ok) {
        return m_problem;
    }
    WriteResult result;
    struct stat existing {};
    if (::fstatat(m_folder.get(), m_name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            result.error = m_shown + ": is a folder";
            result.errorNumber = EISDIR;
            return result;
        }
        if (!S_ISREG(existing.st_mode)) {
            result.error = m_shown + ": is not a regular file (a device, FIFO or socket)";
            return result;
        }
        if ((existing.st_mode & 0222) == 0 ||
            ::faccessat(m_folder.get(), m_name.c_str(), W_OK, 0) != 0) {
            result.error = m_shown + ": the file is read-only";
            result.errorNumber = EACCES;
            return result;
        }
    }
    // The new file is made beside the target and renamed over it, so the folder must take a
    // new file; found out now rather than after a long run (a scan, a read from the
    // controller) whose result would then be lost.
    if (::faccessat(m_folder.get(), ".", W_OK | X_OK, 0) != 0) {
        const int error = errno;
        result.error = m_shown + ": its folder " + m_folderShown + ": " + std::strerror(error);
        result.errorNumber = error;
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace qavix::fileio
