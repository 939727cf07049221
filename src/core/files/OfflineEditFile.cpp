#include "files/OfflineEditFile.h"

namespace qavix {

namespace {

// Two sets are written alike when their files, made at one fixed time, are the same text:
// this compares exactly the fields a bank file holds, in the form it holds them.
std::string fileContent(const SettingsData& set, const std::string& title) {
    const std::tm fixed{};
    return bankfile::formatBankFile(set, kBankFileVersionText, title, fixed).text;
}

}  // namespace

bankfile::ImportResult OfflineEditFile::open(const std::string& path) {
    SettingsData read;
    bankfile::ImportResult result = bankfile::importFile(path, read);
    if (!result.ok()) {
        return result;
    }
    const bankfile::TitleAndDate attribute = bankfile::readTitleAndDate(path);
    // A file without a title line gets none rather than the list's "-" placeholder.
    m_title = attribute.found || attribute.title != "-" ? attribute.title : std::string();
    m_path = path;
    m_saved = read;
    m_savedContent = fileContent(m_saved, m_title);
    return result;
}

bool OfflineEditFile::isModified(const SettingsData& current) const {
    return fileContent(current, m_title) != m_savedContent;
}

fileio::WriteResult OfflineEditFile::save(const SettingsData& current, const std::tm& when) {
    const fileio::WriteResult result =
        bankfile::writeBankFile(m_path, current, kBankFileVersionText, m_title, when);
    if (result.ok) {
        m_saved = current;
        m_savedContent = fileContent(m_saved, m_title);
    }
    return result;
}

}  // namespace qavix
