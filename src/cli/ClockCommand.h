#pragma once
// qavixctl clock: the controller's clock, and setting it to the PC's time.

#include "DeviceOptions.h"

namespace qavix::cli {

// Prints the controller's time as the clock page shows it; with `sync` first sets it to the
// PC's local time.
int runClock(const DeviceOptions& options, bool sync);

}  // namespace qavix::cli
