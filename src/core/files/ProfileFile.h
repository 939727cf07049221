#pragma once
// A private profile (INI) file held in memory with the semantics settings and bank files
// have always had: section and key names match without regard to ASCII case, lines keep
// their order, a new key goes to the end of its section and a new section to the end of the
// file, comments and unknown lines survive a save. Shift-JIS with CR LF on disk, UTF-8 here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/FileIo.h"

namespace qavix {

class ProfileFile {
  public:
    ProfileFile() = default;

    // A profile parsed from UTF-8 text with any line ends.
    static ProfileFile fromText(std::string_view text);

    // Replaces the contents with the file at `path`. A missing file gives an empty profile
    // and succeeds; a file that exists but cannot be read fails and leaves the profile empty.
    bool load(const std::string& path, std::string* error = nullptr);
    // Qavix.ini as every part of the program takes it: a file that cannot be read, is
    // larger than the cap or is no settings text (ini::textProblem: a binary, a NUL, a
    // control character, no Shift-JIS) gives an empty profile, so that every setting is at
    // its default, and says why in `problem`; a missing file is no problem. The link
    // library's port lookup (ports/IniLookup) takes the same file the same way.
    static ProfileFile loadSettings(const std::string& path, std::string& problem);
    fileio::WriteResult save(const std::string& path) const;

    // The whole profile as UTF-8 lines each ended by CR LF.
    std::string text() const;

    // The value of `key`, trimmed of blanks and of one pair of enclosing quotes; nothing when
    // the section or key is missing or the key's line holds no "=".
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view fallback) const;
    // A missing or empty value gives `fallback`; otherwise the leading decimal number
    // (sign allowed, 0 when there is none), clamped to the int range.
    int getInt(std::string_view section, std::string_view key, int fallback) const;

    // Setters refuse (return false, nothing changed) names and values that would not read
    // back as written: line breaks and other control characters (a tab aside), "=" in a key,
    // "]" in a section name, or characters that Shift-JIS cannot store.
    bool setString(std::string_view section, std::string_view key, std::string_view value);
    bool setInt(std::string_view section, std::string_view key, int value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

    bool hasSection(std::string_view section) const;
    std::vector<std::string> sectionNames() const;

    // The section's entries in file order: every non-blank line except comments (";"), a
    // "key=value" line with the blanks around key and value removed, a line without "="
    // trimmed. Empty when the section is missing.
    std::vector<std::string> section(std::string_view name) const;

    // Replaces the whole section with `lines` (blank lines are dropped), or appends the
    // section at the end of the file when it does not exist.
    bool writeSection(std::string_view name, const std::vector<std::string>& lines);

  private:
    struct Section {
        std::string name;                // empty for the lines before the first section
        std::string header;              // the header line as read; empty for the preamble
        std::vector<std::string> lines;  // the lines of the section, as read or written
    };

    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;
    Section& sectionForWriting(std::string_view name);

    std::vector<Section> m_sections{Section{}};  // m_sections[0] is the preamble
};

}  // namespace qavix
