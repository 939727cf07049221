#include "widgets/CPictureButton.h"

namespace qavix {

CPictureButton::CPictureButton(QWidget* parent) : QToolButton(parent) {
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setAutoRaise(false);
}

void CPictureButton::setTexture(ButtonTexture texture) {
    if (m_texture != texture) {
        m_texture = texture;
        update();
    }
}

void CPictureButton::paintEvent(QPaintEvent* event) {
    // Until the textures are drawn, every style paints as the platform button does.
    QToolButton::paintEvent(event);
}

void applyButtonTexture(QWidget* root, ButtonTexture texture) {
    if (root == nullptr) {
        return;
    }
    for (CPictureButton* button : root->findChildren<CPictureButton*>()) {
        button->setTexture(texture);
    }
}

}  // namespace qavix
