#pragma once
// Reads one value from Qavix.ini for the link library, which may not use the program's
// profile reader: the same rule for a file that is no settings text (IniText.h: refused
// whole, as if there were none), the same syntax, the same answer as ProfileFile::value of
// a file ProfileFile::loadSettings read.

#include <optional>
#include <string>

namespace qavix::link {

// Empty when the file is missing, unreadable, larger than ini::kMaxFileSize or no settings
// text, when the section or key is missing, or when the key's line holds no "=". The value
// is UTF-8, trimmed of blanks and of one pair of enclosing quotes. Only the first section
// of a name counts, and in it the first line of the key.
std::optional<std::string> readIniValue(const std::string& path, const std::string& section,
                                        const std::string& key);

}  // namespace qavix::link
