#pragma once
// The configuration file of a scheduled backup (/etc/qavix/fleet-NAME.conf): "key = value"
// lines under an optional [fleet-backup] header, read with the settings files' own syntax
// (ports/IniText), comments starting with ';' or '#'. Keys are the long options of `qavixctl
// fleet backup` without their dashes, and `plant` for the plant file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::history {

constexpr const char* kBackupConfigSection = "fleet-backup";

struct ConfigValue {
    std::string key;    // lower case
    std::string value;  // without one pair of enclosing quotes
    std::string raw;    // as written, for a command line split into words
    int line = 0;
};

// The values in file order; nothing, with the line and the reason, for a file that cannot
// be read, a line that is no key with a value, another section, a key given twice or a value
// holding control characters or bytes that are no UTF-8.
std::optional<std::vector<ConfigValue>> readBackupConfig(const std::string& path,
                                                         std::string& error);

// A hook's command line as the administrator wrote it in the configuration: words split at
// blanks, a word may be quoted with " or ' to hold blanks, and a backslash outside single
// quotes takes the next character as it is. Nothing is expanded: no variables, no globs, no
// command substitution. Nothing, with the reason, for an unclosed quote or no word at all.
std::optional<std::vector<std::string>> splitCommandWords(std::string_view text,
                                                          std::string& error);

}  // namespace qavix::history
