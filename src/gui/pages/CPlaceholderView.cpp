#include "pages/CPlaceholderView.h"

#include <QVBoxLayout>

namespace qavix {

CPlaceholderView::CPlaceholderView(const QString& className, bool commandBar, QWidget* parent)
    : PaneView(className, parent) {
    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    m_title->setObjectName("pageTitle");
    if (commandBar) {
        setMinimumHeight(0);
        setAutoFillBackground(true);
        layout->setContentsMargins(8, 2, 8, 2);
        m_title->setFont(QFont("Noto Sans CJK JP", 10, QFont::Bold));
        layout->addWidget(m_title);
    } else {
        m_title->setFont(QFont("Noto Sans CJK JP", 14, QFont::Bold));
        m_title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        layout->setContentsMargins(16, 16, 16, 16);
        layout->addWidget(m_title);
        layout->addStretch(1);
    }
}

void CPlaceholderView::pageShown(const QString& title) {
    m_title->setText(title);
    clearReload();
}

QString CPlaceholderView::shownTitle() const {
    return m_title->text();
}

}  // namespace qavix
