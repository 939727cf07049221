#pragma once
// The monitor's configuration file: "key = value" lines, '#' or ';' comments, an optional
// [monitor] section header, values optionally in double quotes. Keys are the long options
// of the command line without their dashes, so a service's file and a command line say the
// same things.

#include <string>
#include <utility>
#include <vector>

namespace qavix::telemetry {

using ConfigEntries = std::vector<std::pair<std::string, std::string>>;

// False with `error` naming the line for anything that is not such a line.
bool parseConfigText(const std::string& text, ConfigEntries& out, std::string& error);

}  // namespace qavix::telemetry
