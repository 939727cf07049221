#include "frame/CBankDialogBar.h"

#include <QStyle>

#include "frame/CommandIds.h"
#include "widgets/CPictureButton.h"

namespace qavix {

CBankDialogBar::CBankDialogBar(QWidget* parent)
    : DialogBar("CBankDialogBar", barTitle(kCmdBankBar), parent) {
    struct Def {
        const char* text;
        const char* tip;
        QStyle::StandardPixmap icon;
    };
    const Def defs[ButtonCount] = {
        {"破棄", "Bank編集を破棄", QStyle::SP_DialogDiscardButton},
        {"書込み", "Bank設定を書込み", QStyle::SP_ArrowDown},
        {"消去", "Bank設定を消去", QStyle::SP_TrashIcon},
        {"複写", "Bank設定を複写", QStyle::SP_FileDialogNewFolder},
    };
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = addPictureButton(defs[i].text, defs[i].icon, defs[i].tip);
        m_buttons[i] = b;
        connect(b, &QToolButton::clicked, this, [this, i] { emit buttonClicked(i); });
    }
    refresh();
}

void CBankDialogBar::setButtonState(Button b, bool enabled) {
    m_state[b] = enabled;
    refresh();
}

void CBankDialogBar::setPageAllows(bool allows) {
    m_pageAllows = allows;
    refresh();
}

void CBankDialogBar::refresh() {
    for (int i = 0; i < ButtonCount; ++i) {
        const bool pageRule = (i == Erase || i == Copy) ? m_pageAllows : true;
        m_buttons[i]->setEnabled(m_state[i] && pageRule);
    }
}

}  // namespace qavix
