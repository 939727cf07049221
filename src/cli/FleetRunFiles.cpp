#include "FleetRunFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "Translate.h"
#include "files/FileIo.h"
#include "files/Json.h"

namespace qavix::cli {

std::optional<history::ControllerFiles> controllerFiles(const fleet::ControllerRecord& record,
                                                        const std::string& runFolder,
                                                        std::string& error) {
    history::ControllerFiles files;
    for (const fleet::BackupFile& f : record.files) {
        const std::string path = (std::filesystem::path(runFolder) / f.path).string();
        const fileio::ReadResult read = fileio::readFile(path);
        if (!read.ok()) {
            error = path + ": " + read.error;
            return std::nullopt;
        }
        files[fleet::backupFileName(f.set)] = read.bytes;
    }
    if (record.identity) {
        files[history::kIdentityFile] = json::write(fleet::identityJson(*record.identity));
    }
    return files;
}

ScratchFolder::~ScratchFolder() {
    if (!m_path.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
}

const std::string& ScratchFolder::path(std::string& error) {
    if (m_path.empty()) {
        std::error_code ec;
        std::string pattern =
            (std::filesystem::temp_directory_path(ec) / "qavix-fleet-XXXXXX").string();
        if (ec || ::mkdtemp(pattern.data()) == nullptr) {
            error = i18n::fill(QX_("%1 に作業フォルダを作れません: %2"),
                               {pattern, std::strerror(errno)});
        } else {
            m_path = pattern;
        }
    }
    return m_path;
}

}  // namespace qavix::cli
