#pragma once
// What the settings report shows beyond the read of all settings: the identification of
// the controller and of each connected sensor, which the controller keeps apart from its
// settings. Read these before the report of the current values is built, or it shows
// serial numbers of 0 and empty IDs.

#include <vector>

#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix::report {

// In order: the controller's texts, ID and serial number (as the basic information page
// reads them), then per connected sensor of `set` its serial numbers and ID.
std::vector<PageRead> settingsReportReads(const SettingsData& set);

}  // namespace qavix::report
