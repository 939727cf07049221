#pragma once
// What may name a controller of a plant. The name is also the name of its folder in a
// backup, which may be copied to any file system: Windows' and macOS's, which refuse some
// names and take names that differ only in case or in the form of their letters for one.

#include <string>
#include <string_view>

namespace qavix::fleet {

// Backups keep one folder per controller, named after it.
constexpr size_t kMaxNameBytes = 64;

// Why `name` cannot name a controller (and so a backup folder), or empty when it can. The
// name is quoted in the message as it may be printed (ini::printable).
std::string nameProblem(std::string_view name);

// Equal for two names that some file system takes for one folder: case, Unicode
// normalisation (NFC and NFD "é") and the width of letters (full-width "Ａ") folded away.
// For a name that nameProblem takes.
std::string nameFoldKey(std::string_view name);

}  // namespace qavix::fleet
