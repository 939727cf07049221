#include "frame/Reconnection.h"

#include "frame/CBankManager.h"
#include "state/AppState.h"

namespace qavix {

bool Reconnection::run() {
    if (!m_hooks.commSettings) {
        return false;
    }
    // Another port or unit means reading everything again, which would drop bank edits
    // that were applied but not written; the editing guard offers to write, save or
    // discard them first. (Pending page edits are dropped with the change, as before.)
    const int selected = m_state.model().selectedSet();
    if ((m_state.model().editState(selected) & kEditAppliedUnwritten) != 0 &&
        !m_banks.editingGuard(selected, CBankManager::kReasonSwitch)) {
        return false;
    }
    const StatusInputs before = m_status();
    m_hooks.commSettings();
    const StatusInputs after = m_status();
    if (before.port == after.port && before.unit == after.unit) {
        return false;
    }
    if (m_hooks.reconnect) {
        m_hooks.reconnect();
    }
    return true;
}

}  // namespace qavix
