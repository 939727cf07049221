#include "model/ClockSync.h"

namespace qavix {

bool clockSyncDue(int millisecondOfSecond, int refreshPeriodMs) {
    return millisecondOfSecond >= 0 && millisecondOfSecond <= refreshPeriodMs;
}

}  // namespace qavix
