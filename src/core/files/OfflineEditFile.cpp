#include "files/OfflineEditFile.h"

#include <algorithm>

#include "model/Codec.h"

namespace qavix {

namespace {

constexpr int kMaxEmulatorUnit = 99;

// Two sets are written alike when their files, made at one fixed time, are the same text:
// this compares exactly the fields a bank file holds, in the form it holds them.
std::string fileContent(const SettingsData& set, const std::string& title) {
    const std::tm fixed{};
    return bankfile::formatBankFile(set, kBankFileVersionText, title, fixed).text;
}

}  // namespace

std::optional<std::string> offlineEmulatorOptions(const std::string& image, int unit) {
    const bool hexOnly = std::all_of(image.begin(), image.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
    if (!hexOnly || image.size() != 2 * static_cast<size_t>(codec::kBankImageSize) || unit < 0 ||
        unit > kMaxEmulatorUnit) {
        return std::nullopt;
    }
    return "sim:--bank-image " + image + " --unit " + std::to_string(unit);
}

bankfile::ImportResult OfflineEditFile::open(const std::string& path) {
    SettingsData read;
    const bankfile::BankFileContents file = bankfile::readBankFile(path);
    bankfile::ImportResult result = bankfile::importBlocks(file.blocks, read);
    if (!result.ok()) {
        return result;
    }
    const bankfile::TitleAndDate& attribute = file.attribute;
    // A file without a title line gets none rather than the list's "-" placeholder.
    m_title = attribute.found || attribute.title != "-" ? attribute.title : std::string();
    m_image = bankfile::imageText(file.blocks.texts);
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
