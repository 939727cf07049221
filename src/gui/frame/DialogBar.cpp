#include "frame/DialogBar.h"

#include "frame/CommandTable.h"
#include "state/UiText.h"
#include "widgets/CPictureButton.h"
#include "widgets/GreyedIcon.h"

#include <QEvent>
#include <QToolButton>

namespace qavix {

QString barTitle(int showCommand) {
    const auto command = frameCommand(showCommand);
    return command
               ? QString::fromStdString(menuTextWords(uiText("qavix::CommandTable", command->text)))
               : QString();
}

DialogBar::DialogBar(const QString& objectName, const QString& title, QWidget* parent)
    : QToolBar(title, parent) {
    setObjectName(objectName);
    setAllowedAreas(Qt::TopToolBarArea);
    setFloatable(true);
    setMovable(true);
    // The button Qt shows when the window is too narrow for the whole bar: a screen reader
    // must be able to say what it opens.
    if (auto* more = findChild<QToolButton*>("qt_toolbar_ext_button")) {
        more->setAccessibleName(tr(kMoreButtonName));
    }
}

void DialogBar::floatAt(const QPoint& topLeft) {
    // A floating tool bar is a frameless tool window owned by the main window, which is
    // what the bar becomes when it is dragged off its dock.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    adjustSize();
    move(topLeft);
    show();
}

bool DialogBar::event(QEvent* e) {
    const QEvent::Type t = e->type();
    if ((t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick) && m_busy && m_busy()) {
        return true;
    }
    return QToolBar::event(e);
}

CPictureButton* DialogBar::addPictureButton(const QString& text, QStyle::StandardPixmap icon,
                                            const QString& tip) {
    auto* b = new CPictureButton(this);
    b->setText(text);
    b->setToolTip(tip);
    b->setIcon(withGreyedDisabledLook(style()->standardIcon(icon)));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    addWidget(b);
    return b;
}

}  // namespace qavix
