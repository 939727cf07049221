#include "state/AppState.h"

namespace qavix {

void AppState::setCommBusy(bool on) {
    if (m_commBusy == on) {
        return;
    }
    m_commBusy = on;
    emit commBusyChanged(on);
    emit busyChanged(busy());
}

void AppState::setContinuousMonitoring(bool on) {
    if (m_continuous == on) {
        return;
    }
    m_continuous = on;
    emit busyChanged(busy());
}

}  // namespace qavix
