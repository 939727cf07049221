#include "broker/BrokerFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "IniText.h"
#include "Translate.h"
#include "files/FileIo.h"

namespace qavix::broker {

std::string unreadableFile(const std::string& label, const std::string& rawPath) {
    const std::string path = ini::printable(rawPath);
    struct stat st {};
    if (::stat(rawPath.c_str(), &st) != 0) {
        return i18n::fill(QX_("%1 %2: ファイルがありません"), {label, path});
    }
    if (!S_ISREG(st.st_mode)) {
        return i18n::fill(QX_("%1 %2: 通常のファイルではありません"), {label, path});
    }
    if (::access(rawPath.c_str(), R_OK) != 0) {
        return i18n::fill(QX_("%1 %2: このユーザーでは読めません"), {label, path});
    }
    return {};
}

std::string readPasswordFile(const std::string& label, const std::string& path,
                             std::string& error) {
    const fileio::ReadResult r = fileio::readFile(path);
    if (!r.ok()) {
        error = i18n::fill(QX_("%1 %2: %3"), {label, ini::printable(path), r.error});
        return {};
    }
    std::string password = r.bytes.substr(0, r.bytes.find('\n'));
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    if (password.empty() || password.size() > kMaxPasswordLength) {
        error =
            i18n::fill(QX_("%1 %2: 1行目にパスワードがありません"), {label, ini::printable(path)});
        return {};
    }
    return password;
}

bool everyoneReads(const std::string& path, std::string& modeText) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || (st.st_mode & S_IROTH) == 0) {
        return false;
    }
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    modeText = mode;
    return true;
}

}  // namespace qavix::broker
