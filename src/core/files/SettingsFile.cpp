#include "files/SettingsFile.h"

#include "IniText.h"
#include "Translate.h"

namespace qavix {

SettingsFile SettingsFile::fromText(std::string_view text) {
    SettingsFile file;
    static_cast<ProfileFile&>(file) = ProfileFile::fromText(text);
    return file;
}

bool SettingsFile::loadFrom(const std::string& path) {
    m_path = path;
    static_cast<ProfileFile&>(*this) = loadSettings(path, m_problem);
    return m_problem.empty();
}

std::string SettingsFile::problemText() const {
    // The file is the one of the working folder; the reason is what tells.
    const std::string named = m_path + ": ";
    const std::string reason =
        m_problem.compare(0, named.size(), named) == 0 ? m_problem.substr(named.size()) : m_problem;
    return i18n::fill(QX_("Qavix.ini を読み込めないため、既定の設定で動作しています（%1）。"
                          "設定を保存すると、このファイルは置き換えられます。"),
                      {ini::printable(reason)});
}

bool SettingsFile::save() const {
    return !m_path.empty() && ProfileFile::save(m_path).ok;
}

}  // namespace qavix
