#pragma once
// The tool bar: import, export, copy, paste and print.

#include <QToolButton>

#include "frame/DialogBar.h"

namespace qavix {

class CToolDialogBar : public DialogBar {
    Q_OBJECT
  public:
    enum Button { Import = 0, Export, Copy, Paste, Print, ButtonCount };

    explicit CToolDialogBar(QWidget* parent = nullptr);

    // The state the frame hands over (active or greyed picture); `available` says whether the
    // button's feature exists yet.
    void setButtonState(Button b, bool active);
    bool buttonState(Button b) const { return m_state[b]; }
    void setAvailable(Button b, bool available);
    QToolButton* button(Button b) const { return m_buttons[b]; }

  signals:
    void buttonClicked(int button);

  private:
    void refresh(Button b);

    QToolButton* m_buttons[ButtonCount] = {};
    bool m_state[ButtonCount] = {true, true, false, true, false};
    bool m_available[ButtonCount] = {false, false, false, false, false};
};

}  // namespace qavix
