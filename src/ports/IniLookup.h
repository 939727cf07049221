#pragma once
// Reads one value from an INI file: section and key names without regard to case, the
// first match wins, surrounding blanks and a trailing CR dropped. The link library needs
// only the [Ports] section of Qavix.ini, so it keeps this small reader of its own.

#include <optional>
#include <string>

namespace qavix::link {

std::optional<std::string> readIniValue(const std::string& path, const std::string& section,
                                        const std::string& key);

}  // namespace qavix::link
