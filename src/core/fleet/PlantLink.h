#pragma once
// The link settings of a plant controller: its port as written, its unit, and the line
// settings of Qavix.ini's COMn section (for COM1..COM6) or the program's defaults, with
// those the plant file gives on top.

#include "comm/LinkSettings.h"
#include "files/PortSettings.h"
#include "fleet/PlantFile.h"

namespace qavix::fleet {

LinkSettings plantLinkSettings(const PlantController& controller, const PortSettings& ini);

}  // namespace qavix::fleet
