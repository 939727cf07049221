#pragma once
// qavixctl info: the controller's identity as the basic information page shows it, and the
// connected sensors.

#include "DeviceOptions.h"

namespace qavix::cli {

int runInfo(const DeviceOptions& options);

}  // namespace qavix::cli
