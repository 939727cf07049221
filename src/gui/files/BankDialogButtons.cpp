#include "files/BankDialogButtons.h"

#include "state/AppState.h"

namespace qavix {

namespace {
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
}  // namespace

CPictureButton* bankDialogButton(const QString& text, const QString& objectName,
                                 const AppState* state, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setObjectName(objectName);
    b->setAccessibleName(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumSize(kButtonWidth, kButtonHeight);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setTexture(textureFromSetting(state != nullptr ? state->user.button : 0));
    return b;
}

QHBoxLayout* runCancelRow(CPictureButton* run, CPictureButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(run);
    row->addWidget(cancel);
    return row;
}

}  // namespace qavix
