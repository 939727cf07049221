#pragma once
// `qavix --help` and `qavix --version`, answered before the application object exists so
// that they work on a machine without a display (a service PC over ssh, a package check).

#include <string>
#include <vector>

namespace qavix {

enum class InfoRequest { None, Help, Version };

// The first of --help (-h) and --version among `arguments` (after the program name). The
// values of --edit and --print-report are file names: a file called "--help" is edited.
InfoRequest infoRequest(const std::vector<std::string>& arguments);

// The options the program takes, as its man page lists them.
std::string helpText();
// "qavix 1.0.0+g1eb370f".
std::string versionText();

}  // namespace qavix
