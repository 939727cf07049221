#include "model/PageEditState.h"

#include <algorithm>

#include "Translate.h"

namespace qavix {

namespace {

bool validFlag(int flag) {
    return flag >= 1 && flag <= kPageEditedFlagCount;
}

}  // namespace

bool pageEdited(const WorkingSet& working, int flag) {
    return validFlag(flag) && working.pageEdited[static_cast<size_t>(flag - 1)];
}

void setPageEdited(WorkingSet& working, int flag, bool on) {
    if (validFlag(flag)) {
        working.pageEdited[static_cast<size_t>(flag - 1)] = on;
    }
}

const char* writeButtonText(int selectedSet) {
    return selectedSet >= 1 && selectedSet <= kBankCount ? QX_("適用") : QX_("書込み");
}

PageEditState::PageEditState(int editedFlag, int fieldCount)
    : m_fields(static_cast<size_t>(std::max(fieldCount, 0)), FieldState::Unchanged),
      m_editedFlag(editedFlag) {}

void PageEditState::setField(int index, FieldState state) {
    m_fields.at(static_cast<size_t>(index)) = state;
}

bool PageEditState::anyInvalid() const {
    return std::any_of(m_fields.begin(), m_fields.end(),
                       [](FieldState s) { return s == FieldState::Invalid; });
}

void PageEditState::settle(bool differs, WorkingSet& working) {
    // A field whose text is invalid can never equal a stored value, so the page stays
    // edited while one exists, whatever the comparison of the rest says.
    if (differs || anyInvalid()) {
        markEdited(working);
    } else {
        markClean(working);
    }
}

void PageEditState::markEdited(WorkingSet& working) {
    setPageEdited(working, m_editedFlag, true);
    m_changed = true;
}

void PageEditState::markClean(WorkingSet& working) {
    std::fill(m_fields.begin(), m_fields.end(), FieldState::Unchanged);
    m_changed = false;
    setPageEdited(working, m_editedFlag, false);
}

CommandButtons PageEditState::buttons() const {
    CommandButtons b;
    b.cancel = m_changed;
    b.write = m_changed && !anyInvalid();
    return b;
}

}  // namespace qavix
