#include "frame/CToolDialogBar.h"

#include <QStyle>

#include "widgets/CPictureButton.h"

namespace qavix {

CToolDialogBar::CToolDialogBar(QWidget* parent)
    : DialogBar("CToolDialogBar", "ツール Dialog", parent) {
    struct Def {
        const char* text;
        QStyle::StandardPixmap icon;
    };
    const Def defs[ButtonCount] = {
        {"インポート", QStyle::SP_DialogOpenButton},
        {"エクスポート", QStyle::SP_DialogSaveButton},
        {"複写", QStyle::SP_FileDialogContentsView},
        {"貼り付け", QStyle::SP_FileDialogDetailedView},
        {"印刷", QStyle::SP_FileIcon},
    };
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = addPictureButton(defs[i].text, defs[i].icon);
        m_buttons[i] = b;
        connect(b, &QToolButton::clicked, this, [this, i] { emit buttonClicked(i); });
        refresh(static_cast<Button>(i));
    }
}

void CToolDialogBar::setButtonState(Button b, bool active) {
    m_state[b] = active;
    refresh(b);
}

void CToolDialogBar::setAvailable(Button b, bool available) {
    m_available[b] = available;
    refresh(b);
}

void CToolDialogBar::refresh(Button b) {
    m_buttons[b]->setEnabled(m_available[b] && (b == Paste || m_state[b]));
}

}  // namespace qavix
