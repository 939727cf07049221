#pragma once
// Shift-JIS (CP932) text for the report: byte widths for its column layout and the bytes
// of its text file. Strings are UTF-8 in memory.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qavix::report {

// The UTF-8 text in CP932, or nothing when a character has no CP932 form.
std::optional<std::string> toCp932(std::string_view utf8);

// Bytes the text takes in CP932 (a full-width character 2, ASCII and half-width kana 1).
// A character without a CP932 form counts as full width.
std::size_t cp932Width(std::string_view utf8);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so a failed
// write leaves any previous file as it was. On failure returns false and sets `error`.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace qavix::report
