#pragma once
// The program's one copy of every device value: six stored sets, the working set that the
// pages show and edit, the error history, and the operations that move data between them.

#include <array>

#include "model/DeviceData.h"

namespace qavix {

// Bits of a bank's edit state.
enum EditStateBit : int {
    kEditIncompatible = 1,      // the set's compatible flag is clear
    kEditAppliedUnwritten = 2,  // the selected bank holds applied edits not yet written
    kEditPagePending = 4,       // a page holds edits not yet applied
};

class DeviceModel {
  public:
    DeviceModel();

    StoredSet& storedSet(int index) { return m_stored.at(static_cast<size_t>(index)); }
    const StoredSet& storedSet(int index) const { return m_stored.at(static_cast<size_t>(index)); }
    WorkingSet& working() { return m_working; }
    const WorkingSet& working() const { return m_working; }

    int selectedSet() const { return m_working.selectedSet; }

    // Moves the working set to stored set `index` (0..4): the previous selection's edits go
    // back into its stored set first, unless it is the same index, which only reloads.
    void selectSet(int index);
    void markEdited(int index) { storedSet(index).edited = 1; }

    // What the bank manager does when it is created: current set selected, no page edits,
    // the four flags of every stored set cleared.
    void resetForNewConnection();
    // After the initial read of every bank: set 0 loaded, banks not, flags recomputed.
    void finishBanksRead();

    void checkCompatibility();
    bool copyStoredSet(int destination, int source);
    bool clearBank(int bank);
    int editState(int bank) const;

    int32_t totalBeams = 0;
    std::array<ErrorHistoryEntry, kErrorHistoryCount> errorHistory;

  private:
    std::array<StoredSet, kStoredSetCount> m_stored;
    WorkingSet m_working;
};

// The absolute and ratio ON/OFF tables of a channel recomputed from AXIS_TH, HYS and ZERO.
void deriveThresholds(ChannelRecord& channel);
void deriveThresholds(SettingsData& set);

// True when `other` holds settings for the same controller and sensors as `current`.
bool isCompatible(const SettingsData& current, const SettingsData& other);

}  // namespace qavix
