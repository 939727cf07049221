#pragma once
// The text of Qavix.ini as both of its readers take it: the program's profile reader (core
// ProfileFile) and the link library's port lookup (IniLookup), which may not share code
// above this folder. One rule for what counts as a settings text and one syntax, so that
// the port the program shows is the port the library opens.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::ini {

// A settings file is a few kilobytes; anything this large is not one.
constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

// Why `bytes` are no settings text, or empty when they are one: a settings file is
// Shift-JIS text, so a NUL, a control character other than tab and the line ends, or a
// byte sequence that is no Shift-JIS character means a damaged or foreign file (a binary,
// one cut off part-way, a disk block of zeros), whose values cannot be trusted.
std::string textProblem(std::string_view bytes);

// Lines split at CR LF, LF or a lone CR; a final line end does not start another line.
std::vector<std::string_view> splitLines(std::string_view text);

// Without the blanks (space, tab) at either end.
std::string_view trim(std::string_view text);

// Section and key names match without regard to ASCII case.
bool sameName(std::string_view a, std::string_view b);

// The section name of a header line "[name]", or nothing when the line is not one.
std::optional<std::string_view> headerName(std::string_view line);

// One line of a section taken apart: blank, a comment (";"), or a key with its value (none
// when the line holds no "=").
struct Entry {
    enum Kind { Blank, Comment, Key } kind = Blank;
    std::string_view key;
    std::optional<std::string_view> value;
};
Entry parseEntry(std::string_view line);

// A value without one pair of enclosing quotes (" or ').
std::string_view unquote(std::string_view value);

// The project's own settings texts (the plant file, the monitor's configuration and its
// state file; docs/settings-text.md) read whole by one rule, so that each reader only
// checks its own sections and keys on top:
// - UTF-8 (a byte order mark skipped) or else Shift-JIS, converted to UTF-8; no NUL and no
//   control character but tab;
// - lines end in CR LF, LF or CR; blank lines and lines whose first non-blank character is
//   ';' or '#' are comments;
// - "[name]" starts a section; a section named twice (names match without regard to ASCII
//   case) is a problem;
// - "key = value": blanks around both dropped; ';' or '#' at the start of a value or after
//   a blank starts a comment; a value in double quotes keeps everything between them, and
//   only blanks and a comment may follow the closing quote;
// - a key given twice in one section is a problem; the first one stands.
struct SettingLine {
    std::string section;  // "" before the first section header
    std::string key;      // as written
    std::string value;    // without quotes and comment
    int line = 0;
};

struct SectionLine {
    std::string name;
    int line = 0;
};

struct TextProblem {
    int line = 0;  // 0: the text as a whole
    std::string message;
};

struct SettingsText {
    std::vector<SectionLine> sections;  // in the order of the text
    std::vector<SettingLine> settings;  // in the order of the text
    std::vector<TextProblem> problems;  // a reader may use the rest, but should refuse

    bool ok() const { return problems.empty(); }
};

SettingsText readSettingsText(std::string_view bytes);

// `value` as written into a settings text so that readSettingsText gives it back: in
// double quotes when it holds what the rule would cut (blanks at its ends, ';' or '#').
// Nothing when no text can carry it (a double quote together with such characters, a
// line end or another control character).
std::optional<std::string> settingValueText(std::string_view value);

// `text` as it may be shown on a terminal or in a message: control characters (C0, DEL,
// C1) and bytes that are no UTF-8 written as \xHH, so that a value from a file or the
// environment cannot move the cursor, clear the screen or change the colours where it is
// printed.
std::string printable(std::string_view text);

// A yes/no value of a settings text: true, yes, 1, on or false, no, 0, off. Nothing for
// anything else, so that a misspelt switch is refused rather than read as off.
std::optional<bool> truthValue(std::string_view value);

}  // namespace qavix::ini
