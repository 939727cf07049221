#include "model/DeviceModel.h"

#include <algorithm>

#include "model/BeamThresholds.h"

namespace qavix {

DeviceModel::DeviceModel() {
    resetForNewConnection();
}

void DeviceModel::selectSet(int index) {
    if (index < kCurrentSet || index > kBankCount) {
        return;
    }
    if (index != m_working.selectedSet) {
        static_cast<SettingsData&>(storedSet(m_working.selectedSet)) = m_working;
    }
    static_cast<SettingsData&>(m_working) = storedSet(index);
    m_working.selectedSet = index;
}

void DeviceModel::resetForNewConnection() {
    m_working.selectedSet = kCurrentSet;
    m_working.pageEdited.fill(false);
    for (StoredSet& set : m_stored) {
        set.compatible = 0;
        set.edited = 0;
        set.writeAll = 0;
        set.loaded = 0;
    }
}

void DeviceModel::finishBanksRead() {
    storedSet(kCurrentSet).loaded = 1;
    for (int b = 1; b <= kBankCount; ++b) {
        storedSet(b).loaded = 0;
    }
    checkCompatibility();
}

void DeviceModel::checkCompatibility() {
    storedSet(kCurrentSet).compatible = 1;
    for (int t = 1; t < kStoredSetCount; ++t) {
        storedSet(t).compatible = isCompatible(storedSet(kCurrentSet), storedSet(t)) ? 1 : 0;
    }
}

bool DeviceModel::copyStoredSet(int destination, int source) {
    const StoredSet& src = storedSet(source);
    if (source != kCurrentSet && src.compatible == 0) {
        return false;
    }
    StoredSet& dst = storedSet(destination);
    static_cast<SettingsData&>(dst) = src;
    dst.compatible = src.compatible;
    dst.edited = 1;
    dst.writeAll = 1;
    dst.loaded = 1;
    return true;
}

bool DeviceModel::clearBank(int bank) {
    if (bank < 1 || bank > kBankCount) {
        return false;
    }
    StoredSet& set = storedSet(bank);
    set.compatible = 0;
    set.edited = 0;
    set.writeAll = 0;
    return true;
}

int DeviceModel::editState(int bank) const {
    int state = 0;
    if (storedSet(bank).compatible == 0) {
        state |= kEditIncompatible;
    }
    const int selected = m_working.selectedSet;
    if (selected != kCurrentSet && storedSet(selected).edited != 0) {
        state |= kEditAppliedUnwritten;
    }
    if (m_working.anyPageEdited()) {
        state |= kEditPagePending;
    }
    return state;
}

void deriveThresholds(ChannelRecord& ch) {
    const int beams = std::clamp(ch.beamCount, 0, kMaxBeams);
    for (int b = 0; b < beams; ++b) {
        const auto i = static_cast<size_t>(b);
        const BeamOnOff th = beamOnOff(ch, b);
        ch.absOnTh[i] = th.on;
        ch.absOffTh[i] = th.off;
        // A zero point of 0 is held by the controller as its default, so the ratio is
        // taken against that rather than dividing by zero.
        const int32_t zero = ch.zero[i] != 0 ? ch.zero[i] : kDefaultZeroPoint;
        ch.ratioOnTh[i] = ch.absOnTh[i] * 100 / zero;
        ch.ratioOffTh[i] = ch.absOffTh[i] * 100 / zero;
    }
}

void deriveThresholds(SettingsData& set) {
    for (ChannelRecord& ch : set.channels) {
        if (ch.beamCount > 0) {
            deriveThresholds(ch);
        }
    }
}

bool isCompatible(const SettingsData& current, const SettingsData& other) {
    const GeneralBlock& a = current.general;
    const GeneralBlock& b = other.general;
    if (a.type != b.type || a.versionText != b.versionText || a.jointNum != b.jointNum) {
        return false;
    }
    const int channels = std::clamp(a.jointNum, 0, kChannelCount);
    for (int c = 0; c < channels; ++c) {
        const ChannelRecord& x = current.channels[static_cast<size_t>(c)];
        const ChannelRecord& y = other.channels[static_cast<size_t>(c)];
        if (x.beamCount != y.beamCount || x.type2 != y.type2 || x.type3 != y.type3 ||
            x.verR != y.verR || x.verE != y.verE) {
            return false;
        }
    }
    return true;
}

}  // namespace qavix
