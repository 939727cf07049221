#pragma once
// `qavix --edit FILE`: the bank file opened for editing on the built-in emulator, and what the
// main frame gets to show and save it.

#include <optional>
#include <string>

#include "files/OfflineEditFile.h"
#include "files/PortSettings.h"
#include "frame/OfflineEditSession.h"
#include "model/DeviceModel.h"

namespace qavix {

// The file checked as an import checks it, and the active port turned into the emulator
// started on it. Nothing when refused, after its message on the standard error and in a box.
std::optional<OfflineEditFile> openOfflineEdit(const std::string& path, const PortSettings& ports);

// Whether the current values differ from `file`, and its save at the local time.
OfflineEditing offlineEditingOf(OfflineEditFile& file, const DeviceModel& model);

}  // namespace qavix
