#include "pages/CPlaceholderView.h"

#include <QVBoxLayout>

namespace qavix {

CPlaceholderView::CPlaceholderView(const QString& className, bool commandBar, QWidget* parent)
    : PaneView(className, parent) {
    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    m_title->setObjectName("pageTitle");
    if (commandBar) {
        // The bar's buttons come with its page; until then it is an empty strip.
        setMinimumHeight(0);
        m_title->hide();
        layout->setContentsMargins(0, 0, 0, 0);
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
