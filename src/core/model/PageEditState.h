#pragma once
// What every setting page tracks about its own edits, apart from drawing: one state per
// editable field, whether the page differs from the working set, and the page-edited flag
// of the working set that the bank editing guard reads.

#include <vector>

#include "model/DeviceData.h"

namespace qavix {

enum class FieldState : int {
    Unchanged = 0,
    Changed = 1,
    Invalid = 2,  // edit boxes only: the text fails its check
};

// The thirteen page-edited flags, numbered as the bank editing guard knows them.
enum PageEditedFlag : int {
    kNoPageEditedFlag = 0,
    kEditedBasicInformation = 1,
    kEditedOptions = 2,
    kEditedPio = 3,
    kEditedOverallJudgement = 4,
    kEditedParallelOutput = 5,
    kEditedGroups = 6,
    kEditedSensorCh1 = 7,  // CH2 and CH3 follow
    kEditedThresholdList = 10,
    kEditedBeamList = 12,
    kEditedBlankingChart = 13,
};

bool pageEdited(const WorkingSet& working, int flag);
void setPageEdited(WorkingSet& working, int flag, bool on);

// What the command bar's "書込み" and "取消し" show for a page.
struct CommandButtons {
    bool write = false;
    bool cancel = false;
    bool operator==(const CommandButtons& o) const {
        return write == o.write && cancel == o.cancel;
    }
};

// The write button reads "適用" while a bank is the selected set ("書込み" otherwise);
// translated.
const char* writeButtonText(int selectedSet);

class PageEditState {
  public:
    PageEditState(int editedFlag, int fieldCount);

    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    FieldState field(int index) const { return m_fields.at(static_cast<size_t>(index)); }
    void setField(int index, FieldState state);
    bool anyInvalid() const;
    bool changed() const { return m_changed; }
    int editedFlag() const { return m_editedFlag; }
    // The sensor page keeps one flag per channel.
    void setEditedFlag(int flag) { m_editedFlag = flag; }

    // After an edit, with the result of comparing the page with the working set: a page
    // that differs is marked edited, one that is the same again is marked clean.
    void settle(bool differs, WorkingSet& working);
    void markEdited(WorkingSet& working);
    // Field states, page changed flag and page-edited flag cleared: after a load, a
    // successful write or a cancel.
    void markClean(WorkingSet& working);

    CommandButtons buttons() const;

  private:
    std::vector<FieldState> m_fields;
    int m_editedFlag;
    bool m_changed = false;
};

}  // namespace qavix
