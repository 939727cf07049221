#include "files/WriteTarget.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "Translate.h"

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

// A step of the path on the way to the target's folder failed.
std::string folderProblem(const std::string& path, const std::string& folder, int error) {
    return i18n::fill(QX_("%1: フォルダ %2: %3"), {path, folder, std::strerror(error)});
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
        fail(QX_("ファイル名がありません"));
        return;
    }
    if (path.back() == '/') {
        fail(i18n::fill(QX_("%1: ファイルではなくフォルダを指しています"), {path}));
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
            fail(folderProblem(path, shownFolder(walked), errno), errno);
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
            fail(folderProblem(path, shownFolder(walked / part), error), error);
            return;
        }
        if (S_ISLNK(info.st_mode)) {
            struct stat folder {};
            if (++links > kMaxSymbolicLinks || ::fstat(m_folder.get(), &folder) != 0) {
                fail(i18n::fill(QX_("%1: %2"), {path, std::strerror(ELOOP)}), ELOOP);
                return;
            }
            if (!mayFollow(folder, info)) {
                fail(i18n::fill(QX_("%1: %2 は誰でも書き込めるフォルダにある他のユーザーのシンボ"
                                    "リックリンクなので、たどりません"),
                                {path, (walked / part).string()}),
                     EACCES);
                return;
            }
            char target[PATH_MAX];
            const ssize_t n = ::readlinkat(m_folder.get(), part.c_str(), target, sizeof target);
            if (n <= 0 || static_cast<size_t>(n) >= sizeof target) {
                const int error = n < 0 ? errno : ENAMETOOLONG;
                fail(i18n::fill(QX_("%1: %2"), {path, std::strerror(error)}), error);
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
                fail(i18n::fill(QX_("%1: フォルダです"), {path}), EISDIR);
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
            fail(i18n::fill(QX_("%1: %2 はフォルダではありません"),
                            {path, shownFolder(walked / part)}),
                 ENOTDIR);
            return;
        }
        // Opened without following: a folder swapped for a link meanwhile is not entered.
        m_folder.reset(
            ::openat(m_folder.get(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        walked /= part;
    }
    if (m_name.empty()) {  // "/" itself
        fail(i18n::fill(QX_("%1: フォルダです"), {path}), EISDIR);
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
            result.error = i18n::fill(QX_("%1: フォルダです"), {m_shown});
            result.errorNumber = EISDIR;
            return result;
        }
        if (!S_ISREG(existing.st_mode)) {
            result.error =
                i18n::fill(QX_("%1: 通常のファイルではありません（デバイス、FIFO またはソケット）"),
                           {m_shown});
            return result;
        }
        if ((existing.st_mode & 0222) == 0 ||
            ::faccessat(m_folder.get(), m_name.c_str(), W_OK, 0) != 0) {
            result.error = i18n::fill(QX_("%1: 読み取り専用のファイルです"), {m_shown});
            result.errorNumber = EACCES;
            return result;
        }
    }
    // The new file is made beside the target and renamed over it, so the folder must take a
    // new file; found out now rather than after a long run (a scan, a read from the
    // controller) whose result would then be lost.
    if (::faccessat(m_folder.get(), ".", W_OK | X_OK, 0) != 0) {
        const int error = errno;
        result.error = folderProblem(m_shown, m_folderShown, error);
        result.errorNumber = error;
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace qavix::fileio
