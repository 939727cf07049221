#include "app/SettingsFile.h"

namespace qavix {

SettingsFile SettingsFile::fromText(std::string_view text) {
    SettingsFile file;
    static_cast<ProfileFile&>(file) = ProfileFile::fromText(text);
    return file;
}

bool SettingsFile::loadFrom(const std::string& path) {
    m_path = path;
    return load(path);
}

bool SettingsFile::save() const {
    return !m_path.empty() && ProfileFile::save(m_path).ok;
}

}  // namespace qavix
