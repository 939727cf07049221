#pragma once
// The entries of the channel and controller sections of a bank file, built from a set.

#include <string>
#include <vector>

#include "model/DeviceData.h"

namespace qavix::bankfile::layout {

// The 21 "KEY=VALUE" entries of a CH section. A value that does not fit its field leaves a
// description in `error` (and the entries are then not to be used).
std::vector<std::string> channelEntries(const ChannelRecord& channel, std::string& error);

// The 99 entries of the CONTROLLER section.
std::vector<std::string> controllerEntries(const SettingsData& set, std::string& error);

}  // namespace qavix::bankfile::layout
