#include "files/UserDataFolder.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "Translate.h"

namespace qavix {

namespace {

constexpr const char* kFolderName = "qavix";

bool absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

}  // namespace

std::string userDataFolder(const char* xdgDataHome, const char* home) {
    // The XDG base directory rules say a relative value is to be ignored.
    if (absolute(xdgDataHome)) {
        return (std::filesystem::path(xdgDataHome) / kFolderName).string();
    }
    if (absolute(home)) {
        return (std::filesystem::path(home) / ".local" / "share" / kFolderName).string();
    }
    return {};
}

std::string userDataFolder() {
    return userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

bool enterFolder(const std::string& folder, std::string& error) {
    if (folder.empty()) {
        error = QX_("環境変数 HOME が設定されていません");
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = i18n::fill(QX_("%1: %2"), {folder, ec.message()});
        return false;
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    if (::chdir(folder.c_str()) != 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace qavix
