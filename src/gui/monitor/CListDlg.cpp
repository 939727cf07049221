#include "monitor/CListDlg.h"

namespace qavix {

namespace {

constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 32;
constexpr int kLeftMargin = 12;
constexpr int kRightMargin = 10;  // "保存" sits this far from the right edge

}  // namespace

CListDlg::CListDlg(QWidget* parent) : PaneView("CListDlg", parent) {
    // A narrow bar wraps its controls onto more rows rather than lay them over each other.
    auto* layout = new FlowLayout(this, kLeftMargin, 2);
    m_layout = layout;
    layout->setContentsMargins(kLeftMargin, 2, kRightMargin, 2);
    m_title = new QLabel(this);
    m_title->setObjectName("pageTitle");
    m_title->setFont(QFont("Noto Sans CJK JP", 12, QFont::Bold));
    m_save = new CPictureButton(this);
    m_save->setText(tr("保存"));
    m_save->setAccessibleName(tr("保存"));
    m_save->setObjectName(QString("button%1").arg(kSaveId));
    m_save->setFixedSize(kButtonWidth, kButtonHeight);
    m_save->setFocusPolicy(Qt::StrongFocus);
    m_save->setVisible(false);
    layout->addWidget(m_title);
    layout->addAligned(m_save, Qt::AlignRight);
    connect(m_save, &QToolButton::clicked, this, &CListDlg::save);
    setMinimumHeight(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
}

void CListDlg::setSaveHandler(int pageIndex, std::function<void()> save) {
    m_saves[pageIndex] = std::move(save);
}

void CListDlg::addPageControls(int pageIndex, QWidget* controls) {
    controls->setParent(this);
    // After the title and before "保存" at the right edge.
    m_layout->insertWidget(1, controls);
    controls->setVisible(mode() == pageIndex);
    m_controls[pageIndex] = controls;
}

void CListDlg::setMode(int pageIndex) {
    PaneView::setMode(pageIndex);
    m_save->setVisible(m_saves.count(pageIndex) != 0);
    for (const auto& [index, controls] : m_controls) {
        controls->setVisible(index == pageIndex);
    }
}

void CListDlg::pageShown(const QString& title) {
    m_title->setText(title);
}

void CListDlg::save() {
    const auto it = m_saves.find(mode());
    if (it != m_saves.end() && it->second) {
        it->second();
    }
}

}  // namespace qavix
