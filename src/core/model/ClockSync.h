#pragma once
// When the clock page sends the PC's time: only on a refresh tick that falls within the
// first refresh period of a second, so the seconds it sends are still current when the
// controller takes them.

namespace qavix {

bool clockSyncDue(int millisecondOfSecond, int refreshPeriodMs);

}  // namespace qavix
