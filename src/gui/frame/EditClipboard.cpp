#include "frame/EditClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "frame/CommandRules.h"

namespace qavix {

namespace {

bool isEdit(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(w) != nullptr;
}

}  // namespace

EditClipboard::EditClipboard(QObject* parent) : QObject(parent) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isEdit(now)) {
            m_lastEdit = now;
        }
    });
}

QWidget* EditClipboard::target() const {
    QWidget* focus = QApplication::focusWidget();
    if (isEdit(focus)) {
        return focus;
    }
    if (m_lastEdit != nullptr && m_lastEdit->isVisible() && m_lastEdit->isEnabled()) {
        return m_lastEdit;
    }
    return nullptr;
}

void EditClipboard::copy() {
    QWidget* edit = target();
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->copy();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(edit)) {
        text->copy();
    }
}

void EditClipboard::paste() {
    QWidget* edit = target();
    if (auto* line = qobject_cast<QLineEdit*>(edit); line != nullptr && !line->isReadOnly()) {
        line->paste();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(edit);
               text != nullptr && !text->isReadOnly()) {
        text->paste();
    }
}

void EditClipboard::describe(CommandContext& c) const {
    QWidget* edit = target();
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        c.focusedEditHasSelection = line->hasSelectedText();
        c.canPaste = !line->isReadOnly() && !QApplication::clipboard()->text().isEmpty();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(edit)) {
        c.focusedEditHasSelection = text->textCursor().hasSelection();
        c.canPaste = !text->isReadOnly() && !QApplication::clipboard()->text().isEmpty();
    }
}

}  // namespace qavix
