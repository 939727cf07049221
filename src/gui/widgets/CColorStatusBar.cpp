#include "widgets/CColorStatusBar.h"

#include <QEvent>

namespace qavix {

namespace {

constexpr int kPaneFontPoints = 10;

}  // namespace

CColorStatusBar::CColorStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("CColorStatusBar");
    setSizeGripEnabled(true);
    const QFont font("Noto Sans Mono CJK JP", kPaneFontPoints);
    for (int i = 0; i < kPaneCount; ++i) {
        auto* label = new QLabel(this);
        label->setFont(font);
        label->setObjectName(QString("pane%1").arg(i));
        label->installEventFilter(this);
        m_panes[static_cast<size_t>(i)] = label;
        if (i == 0) {
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            addWidget(label, 1);
        } else {
            label->setAlignment(Qt::AlignCenter);
            label->setAutoFillBackground(true);
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Sunken);
            addPermanentWidget(label);
        }
    }
}

void CColorStatusBar::setPane(int pane, const QString& text, int width, const QColor& textColour,
                              const QColor& back) {
    QLabel* label = m_panes.at(static_cast<size_t>(pane));
    label->setText(text);
    if (width > 0) {
        label->setFixedWidth(width);
    }
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, textColour);
    p.setColor(QPalette::Window, back);
    label->setPalette(p);
}

void CColorStatusBar::setPaneText(int pane, const QString& text) {
    m_panes.at(static_cast<size_t>(pane))->setText(text);
}

bool CColorStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < kPaneCount; ++i) {
            if (watched == m_panes[static_cast<size_t>(i)]) {
                emit paneDoubleClicked(i);
                return true;
            }
        }
    }
    return QStatusBar::eventFilter(watched, event);
}

}  // namespace qavix
