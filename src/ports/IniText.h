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

// `text` as it may be shown on a terminal or in a message: control characters (C0, DEL,
// C1) and bytes that are no UTF-8 written as \xHH, so that a value from a file or the
// environment cannot move the cursor, clear the screen or change the colours where it is
// printed.
std::string printable(std::string_view text);

}  // namespace qavix::ini
