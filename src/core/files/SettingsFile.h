#pragma once
// Qavix.ini as the program holds it: the shared profile-file module with the path it was
// read from, so that the windows that write their keys and the shutdown that saves the
// file use one object.

#include <string>
#include <string_view>

#include "files/ProfileFile.h"

namespace qavix {

class SettingsFile : public ProfileFile {
  public:
    SettingsFile() = default;

    static SettingsFile fromText(std::string_view text);

    // A missing file gives an empty profile and succeeds. A file that cannot be used
    // (ProfileFile::loadSettings) gives an empty profile too, every setting at its default,
    // fails, and keeps the reason for problem().
    bool loadFrom(const std::string& path);
    bool save() const;
    const std::string& path() const { return m_path; }
    const std::string& problem() const { return m_problem; }
    // What the program says once when problem() is not empty.
    std::string problemText() const;

  private:
    std::string m_path;
    std::string m_problem;
};

}  // namespace qavix
