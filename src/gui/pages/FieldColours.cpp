#include "pages/FieldColours.h"

#include <QApplication>
#include <QStylePainter>

namespace qavix {

namespace {

constexpr int kComboInset = 2;
constexpr int kComboButtonInset = 20;

}  // namespace

void paintField(QLineEdit* edit, FieldState state) {
    QPalette p = edit->parentWidget() != nullptr ? edit->parentWidget()->palette()
                                                 : QApplication::palette(edit);
    if (state == FieldState::Changed) {
        p.setColor(QPalette::Base, kChangedFieldColour);
    } else if (state == FieldState::Invalid) {
        p.setColor(QPalette::Base, kInvalidFieldColour);
    } else if (edit->isReadOnly()) {
        // A box the page does not offer for editing looks like the page around it.
        p.setColor(QPalette::Base, p.color(QPalette::Window));
    }
    edit->setPalette(p);
    edit->update();
}

void paintField(QCheckBox* box, FieldState state) {
    const bool marked = state != FieldState::Unchanged;
    QPalette p = box->parentWidget() != nullptr ? box->parentWidget()->palette()
                                                : QApplication::palette(box);
    if (marked) {
        p.setColor(box->backgroundRole(), kChangedFieldColour);
    }
    box->setPalette(p);
    box->setAutoFillBackground(marked);
    box->update();
}

void FieldComboBox::setFieldState(FieldState state) {
    if (m_state != state) {
        m_state = state;
        update();
    }
}

QRect FieldComboBox::changedRect() const {
    return rect().adjusted(kComboInset, kComboInset, -kComboButtonInset, -kComboInset);
}

void FieldComboBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (m_state == FieldState::Changed) {
        painter.fillRect(changedRect(), kChangedFieldColour);
    }
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace qavix
