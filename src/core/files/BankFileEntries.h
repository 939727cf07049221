#pragma once
// The part of a bank file that its reader looks at, taken in one pass over the lines: of
// each section the format has (ATTRIBUTE, CH1 to CH3, CONTROLLER), the first entries in file
// order, as many as the reader uses. Comments, other sections, entries past those and a
// repeated section are passed over without being kept, so reading a file needs little more
// memory than the file itself.
//
// The rules are those of the profile files: a line "[name]" starts a section (names match
// without regard to ASCII case; when a name appears twice, the first section counts), blank
// lines and lines starting with ";" are no entries, every other line is one, "KEY=VALUE"
// with the blanks around key and value removed or, without "=", the trimmed line. Lines end
// at CR LF, LF or a lone CR.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::bankfile {

class BankFileEntries {
  public:
    // The sections the format has, and how many of their entries the reader uses.
    enum Section { kAttribute, kChannel1, kChannel2, kChannel3, kController, kSectionCount };
    static constexpr size_t kAttributeEntries = 3;
    static constexpr size_t kChannelEntries = 22;  // one more than the format has: see BankFile
    static constexpr size_t kControllerEntries = 99;

    // UTF-8 text.
    static BankFileEntries fromText(std::string_view text);
    // A file's bytes in Shift-JIS. `lossy` tells whether some bytes were not Shift-JIS (they
    // read as "?").
    static BankFileEntries fromCp932(std::string_view bytes, bool& lossy);

    // The kept entries of a section, "KEY=VALUE" or the bare text; fewer than the section's
    // count when the file has fewer, none when it lacks the section.
    const std::vector<std::string>& entries(Section section) const {
        return m_entries[static_cast<size_t>(section)];
    }

  private:
    class Builder;

    std::array<std::vector<std::string>, kSectionCount> m_entries;
};

}  // namespace qavix::bankfile
