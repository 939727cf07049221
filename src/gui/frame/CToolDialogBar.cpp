#include "frame/CToolDialogBar.h"

#include <QStyle>

#include "frame/CommandIds.h"
#include "widgets/CPictureButton.h"

namespace qavix {

CToolDialogBar::CToolDialogBar(QWidget* parent)
    : DialogBar("CToolDialogBar", barTitle(kCmdToolBar), parent) {
    struct Def {
        QString text;
        QStyle::StandardPixmap icon;
        QString tip;
    };
    const Def defs[ButtonCount] = {
        {tr("インポート"), QStyle::SP_DialogOpenButton,
         tr("バンクファイル (*.qbk) を読み込み、バンクに書き込みます (Ctrl+O)")},
        {tr("エクスポート"), QStyle::SP_DialogSaveButton,
         tr("現在値またはバンクをバンクファイル (*.qbk) に保存します (Ctrl+S)")},
        {tr("複写"), QStyle::SP_FileDialogContentsView,
         tr("選択した文字をクリップボードにコピーします (Ctrl+C)")},
        {tr("貼り付け"), QStyle::SP_FileDialogDetailedView,
         tr("クリップボードの文字を入力欄に貼り付けます (Ctrl+V)")},
        {tr("印刷"), QStyle::SP_FileIcon, tr("設定一覧を印刷します (Ctrl+P)")},
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
