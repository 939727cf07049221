#pragma once
// The bank bar: discard edits, write, erase and copy of banks.

#include <QToolButton>

#include "frame/DialogBar.h"

namespace qavix {

class CBankDialogBar : public DialogBar {
    Q_OBJECT
  public:
    enum Button { Discard = 0, Write, Erase, Copy, ButtonCount };

    explicit CBankDialogBar(QWidget* parent = nullptr);

    // The result the matching menu rule computed last.
    void setButtonState(Button b, bool enabled);
    // Leaving and entering the clock page switches erase and copy off and on.
    void setPageAllows(bool allows);
    QToolButton* button(Button b) const { return m_buttons[b]; }

  signals:
    void buttonClicked(int button);

  private:
    void refresh();

    QToolButton* m_buttons[ButtonCount] = {};
    bool m_state[ButtonCount] = {};
    bool m_pageAllows = true;
};

}  // namespace qavix
