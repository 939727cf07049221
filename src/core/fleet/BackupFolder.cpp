#include "fleet/BackupFolder.h"
#include "Translate.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qavix::fleet {

namespace {

constexpr mode_t kFolderMode = 0777;  // the user's umask decides

std::string stamp(const std::tm& when) {
    char buffer[32];
    const size_t n = std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &when);
    return std::string(buffer, n);
}

}  // namespace

BackupFolder createBackupFolder(const std::string& outDir, const std::tm& when) {
    BackupFolder result;
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (ec) {
        result.error = outDir + ": " + ec.message();
        return result;
    }
    const std::string base = (std::filesystem::path(outDir) / stamp(when)).string();
    for (int n = 1; n <= kMaxFoldersPerSecond; ++n) {
        const std::string candidate = n == 1 ? base : base + "-" + std::to_string(n);
        if (::mkdir(candidate.c_str(), kFolderMode) == 0) {
            result.path = candidate;
            return result;
        }
        if (errno != EEXIST) {
            result.error = candidate + ": " + std::strerror(errno);
            return result;
        }
    }
    result.error = i18n::fill(QX_("%1: この秒のバックアップフォルダが既に %2 個あります"),
                              {base, std::to_string(kMaxFoldersPerSecond)});
    return result;
}

bool ensureFolder(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), kFolderMode) == 0 || errno == EEXIST) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            return true;
        }
        error = i18n::fill(QX_("%1: フォルダではないものがあります"), {path});
        return false;
    }
    error = path + ": " + std::strerror(errno);
    return false;
}

}  // namespace qavix::fleet
