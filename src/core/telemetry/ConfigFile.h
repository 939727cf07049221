#pragma once
// The monitor's configuration file: a settings text (ini::readSettingsText) with the
// options of the command line as keys, without their dashes, and at most the section
// [monitor], so a service's file and a command line say the same things.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qavix::telemetry {

using ConfigEntries = std::vector<std::pair<std::string, std::string>>;

// Keys that switch a flag on ("once = true") and keys that carry an option's value.
bool isConfigFlag(std::string_view key);
bool isConfigOption(std::string_view key);

// The entries in file order, keys in lower case. False with `error` naming the line for a
// text that breaks the settings-text rule, holds another section or a key that is neither.
bool parseConfigText(std::string_view text, ConfigEntries& out, std::string& error);

}  // namespace qavix::telemetry
