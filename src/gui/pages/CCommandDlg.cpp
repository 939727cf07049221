#include "pages/CCommandDlg.h"

#include "model/PageEditState.h"
#include "pages/PageIndex.h"
#include "pages/PageRegistry.h"

namespace qavix {

namespace {

constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 32;
constexpr int kMargin = 12;
constexpr const char* kPageActionText = QT_TRANSLATE_NOOP("qavix::CCommandDlg", "個別設定");

CPictureButton* makeButton(const QString& text, int id, QWidget* parent) {
    auto* b = new CPictureButton(parent);
    b->setText(text);
    b->setObjectName(QString("button%1").arg(id));
    b->setFixedSize(kButtonWidth, kButtonHeight);
    b->setEnabled(false);
    return b;
}

}  // namespace

CCommandDlg::CCommandDlg(AppState& state, std::shared_ptr<PageRegistry> registry, QWidget* parent)
    : PaneView("CCommandDlg", parent), m_state(state), m_registry(std::move(registry)) {
    // A narrow bar wraps its controls onto more rows rather than lay them over each other.
    auto* layout = new FlowLayout(this, kMargin, 2);
    layout->setContentsMargins(kMargin, 2, kMargin, 2);
    m_title = new QLabel(this);
    m_title->setObjectName("pageTitle");
    m_title->setFont(QFont("Noto Sans CJK JP", 12, QFont::Bold));
    m_write = makeButton(writeButtonText(kCurrentSet), kWriteId, this);
    m_cancel = makeButton(tr("取消し"), kCancelId, this);
    m_pageAction = makeButton(tr(kPageActionText), kPageActionId, this);
    m_pageAction->setEnabled(true);
    m_pageAction->hide();
    m_layout = layout;
    layout->addWidget(m_title);
    // "書込み" and "取消し" keep to the right end of their row.
    layout->addAligned(keepTogether({m_pageAction, m_write, m_cancel}, this), Qt::AlignRight);
    connect(m_write, &QToolButton::clicked, this, &CCommandDlg::write);
    connect(m_cancel, &QToolButton::clicked, this, &CCommandDlg::cancel);
    connect(m_pageAction, &QToolButton::clicked, this, &CCommandDlg::pageAction);
    // The row above the clock page is one pixel high; nothing here may hold it open.
    setMinimumHeight(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    if (m_registry) {
        m_registry->setCommandBar(this);
    }
}

CCommandDlg::~CCommandDlg() {
    if (m_registry && m_registry->commandBar() == this) {
        m_registry->setCommandBar(nullptr);
    }
}

void CCommandDlg::setMode(int pageIndex) {
    PaneView::setMode(pageIndex);
    // The clock page has no command bar: its row is one pixel high and shows nothing.
    const bool shown = pageIndex != nav::kPageClock;
    m_title->setVisible(shown);
    m_write->setVisible(shown);
    m_cancel->setVisible(shown);
    // Each page that uses the page action button shows it with its own text.
    setPageActionButton(tr(kPageActionText), false);
    for (const auto& [page, controls] : m_pageControls) {
        controls->setVisible(page == pageIndex);
    }
    updateWriteLabel();
}

void CCommandDlg::addPageControls(int pageIndex, QWidget* controls) {
    m_pageControls[pageIndex] = controls;
    // After the title, before "書込み" and "取消し".
    m_layout->insertWidget(1, controls);
    controls->setVisible(mode() == pageIndex);
}

void CCommandDlg::pageShown(const QString& title) {
    m_title->setText(title);
    updateWriteLabel();
    // Until the page says otherwise there is nothing to write or cancel.
    setWriteCancelEnabled(false);
}

void CCommandDlg::updateWriteLabel() {
    m_write->setText(writeButtonText(m_state.model().selectedSet()));
}

void CCommandDlg::setWriteCancelEnabled(bool on) {
    m_write->setEnabled(on);
    m_cancel->setEnabled(on);
}

void CCommandDlg::setWriteEnabled(bool on) {
    m_write->setEnabled(on);
}

void CCommandDlg::setPageActionButton(const QString& text, bool visible) {
    m_pageAction->setText(text);
    m_pageAction->setAccessibleName(text);
    m_pageAction->setVisible(visible);
}

void CCommandDlg::pageAction() {
    CommandTarget* page = m_registry ? m_registry->find(m_state.currentPage) : nullptr;
    if (page != nullptr) {
        page->pageAction();
    }
}

void CCommandDlg::write() {
    CommandTarget* page = m_registry ? m_registry->find(m_state.currentPage) : nullptr;
    if (page == nullptr) {
        return;
    }
    setWriteCancelEnabled(false);
    if (!page->writePage()) {
        // The page left "取消し" on and "書込み" off for the field that failed.
        return;
    }
    setWriteCancelEnabled(false);
    // A failed transfer keeps the page's edits; it shows them on the bar again.
    page->applyCommandButtons();
}

void CCommandDlg::cancel() {
    CommandTarget* page = m_registry ? m_registry->find(m_state.currentPage) : nullptr;
    if (page == nullptr) {
        return;
    }
    page->cancelPage();
    setWriteCancelEnabled(false);
}

}  // namespace qavix
