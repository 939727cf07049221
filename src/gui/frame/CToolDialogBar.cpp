#include "frame/CToolDialogBar.h"

#include <QStyle>

#include "frame/CommandIds.h"
#include "widgets/CPictureButton.h"

namespace qavix {

CToolDialogBar::CToolDialogBar(QWidget* parent)
    : DialogBar("CToolDialogBar", barTitle(kCmdToolBar), parent) {
    struct Def {
        const char* text;
        QStyle::StandardPixmap icon;
        const char* tip;
    };
    const Def defs[ButtonCount] = {
        {"インポート", QStyle::SP_DialogOpenButton,
         "バンクファイル (*.qbk) を読み込み、バンクに書き込みます (Ctrl+O)"},
        {"エクスポート", QStyle::SP_DialogSaveButton,
         "現在値またはバンクをバンクファイル (*.qbk) に保存します (Ctrl+S)"},
        {"複写", QStyle::SP_FileDialogContentsView,
         "選択した文字をクリップボードにコピーします (Ctrl+C)"},
        {"貼り付け", QStyle::SP_FileDialogDetailedView,
         "クリップボードの文字を入力欄に貼り付けます (Ctrl+V)"},
        {"印刷", QStyle::SP_FileIcon, "設定一覧を印刷します (Ctrl+P)"},
    };
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = addPictureButton(defs[i].text, defs[i].icon);
        b->setToolTip(defs[i].tip);
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
    m_buttons[b]->setEnabled(m_available[b] && m_state[b]);
}

}  // namespace qavix
