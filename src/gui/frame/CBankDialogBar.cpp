#include "frame/CBankDialogBar.h"

#include <QStyle>

#include "frame/CommandIds.h"
#include "widgets/CPictureButton.h"

namespace qavix {

CBankDialogBar::CBankDialogBar(QWidget* parent)
    : DialogBar("CBankDialogBar", barTitle(kCmdBankBar), parent) {
    struct Def {
        QString text;
        QString tip;
        QStyle::StandardPixmap icon;
    };
    const Def defs[ButtonCount] = {
        {tr("破棄"), tr("Bank編集を破棄"), QStyle::SP_DialogDiscardButton},
        {tr("書込み"), tr("Bank設定を書込み"), QStyle::SP_ArrowDown},
        {tr("消去"), tr("Bank設定を消去"), QStyle::SP_TrashIcon},
        {tr("複写"), tr("Bank設定を複写"), QStyle::SP_FileDialogNewFolder},
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
