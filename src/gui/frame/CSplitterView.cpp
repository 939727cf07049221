#include "frame/CSplitterView.h"

#include <QEvent>
#include <QVBoxLayout>

#include "pages/CPlaceholderView.h"

namespace qavix {

namespace {

constexpr int kMinimumPageRow = 20;
// Views that cache the working set: P-I/O, the three measurement pages, options, sensor
// operation settings.
constexpr int kReloadingViews[] = {13, 14, 15, 16, 17, 19};

// A stacked row asks for the room of its largest view, shown or not. Only the shown view's
// needs count here, or one wide page would keep the window from being narrower than it on
// every page: the hidden views take an ignored size policy, the shown one its own again.
void sizeRowToShownView(QStackedWidget* row, std::unordered_map<QWidget*, QSizePolicy>& own) {
    for (int i = 0; i < row->count(); ++i) {
        QWidget* w = row->widget(i);
        const auto kept = own.try_emplace(w, w->sizePolicy()).first;
        w->setSizePolicy(w == row->currentWidget()
                             ? kept->second
                             : QSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored));
    }
    row->updateGeometry();
}

}  // namespace

CSplitterView::CSplitterView(QWidget* parent) : QWidget(parent) {
    setObjectName("CSplitterView");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setChildrenCollapsible(false);
    m_barRow = new QStackedWidget(m_splitter);
    m_barRow->setMinimumHeight(0);
    // A page the row cannot hold (a small screen, a large scale factor) scrolls rather than
    // being squeezed below the room its controls need, where they would overlap.
    m_pageScroll = new QScrollArea(m_splitter);
    m_pageScroll->setObjectName("pageScroll");
    m_pageScroll->setFrameShape(QFrame::NoFrame);
    m_pageScroll->setWidgetResizable(true);
    m_pageScroll->setMinimumHeight(kMinimumPageRow);
    m_pageRow = new QStackedWidget;
    m_pageScroll->setWidget(m_pageRow);
    for (QStackedWidget* row : {m_barRow, m_pageRow}) {
        connect(row, &QStackedWidget::currentChanged, this,
                [this, row](int) { sizeRowToShownView(row, m_ownPolicies); });
    }
    m_barRow->installEventFilter(this);
    m_splitter->addWidget(m_barRow);
    m_splitter->addWidget(m_pageScroll);
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter);

    for (int n = 0; n < nav::kViewCount; ++n) {
        const bool bar = n < nav::kCommandBarViewCount;
        auto* v = new CPlaceholderView(nav::kViewClassNames[static_cast<size_t>(n)], bar);
        (bar ? m_barRow : m_pageRow)->addWidget(v);
        m_views[static_cast<size_t>(n)] = v;
        if (bar) {
            v->installEventFilter(this);
        }
    }
    sizeRowToShownView(m_barRow, m_ownPolicies);
    sizeRowToShownView(m_pageRow, m_ownPolicies);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this](int, int) {
        if (!m_collapsed) {
            m_rowHeight = m_splitter->sizes().value(0);
        }
    });
}

void CSplitterView::showPage(int pageIndex, const QString& title) {
    if (pageIndex == 1) {
        m_collapsed = false;
        return;
    }
    const auto entry = nav::pageEntry(pageIndex);
    if (!entry) {
        return;
    }
    PaneView* bar = view(entry->commandBar);
    PaneView* page = view(entry->page);
    if (entry->commandDlgGetsMode) {
        view(nav::kViewCommandDlg)->setMode(pageIndex);
    }
    bar->setMode(pageIndex);
    m_barRow->setCurrentWidget(bar);
    bar->pageShown(title);
    m_pageRow->setCurrentWidget(page);
    page->pageShown(title);
    m_collapsed = entry->collapseCommandRow;
    applyRowHeight();
}

void CSplitterView::applyRowHeight() {
    const int total = std::max(m_splitter->height(), 1);
    const int needs = commandBarNeeds();
    const int top = m_collapsed ? nav::kCollapsedCommandRowHeight : std::max(m_rowHeight, needs);
    m_barRow->setMinimumHeight(needs);
    m_barRow->setMaximumHeight(m_collapsed ? nav::kCollapsedCommandRowHeight : QWIDGETSIZE_MAX);
    m_splitter->setSizes({top, std::max(total - top, kMinimumPageRow)});
}

int CSplitterView::commandBarNeeds() const {
    const QWidget* bar = m_barRow->currentWidget();
    if (m_collapsed || bar == nullptr || !bar->hasHeightForWidth()) {
        return 0;
    }
    return bar->heightForWidth(m_barRow->width());
}

void CSplitterView::fitRowToBar() {
    const int needs = commandBarNeeds();
    if (needs == m_barRow->minimumHeight()) {
        return;
    }
    m_barRow->setMinimumHeight(needs);
    const QList<int> sizes = m_splitter->sizes();
    if (!m_collapsed && sizes.size() == 2) {
        // Grown for a narrow bar and shrunk back when it widens again, never below the
        // height the user gave the row.
        const int top = std::max(m_rowHeight, needs);
        if (top != sizes[0]) {
            m_splitter->setSizes({top, std::max(sizes[0] + sizes[1] - top, kMinimumPageRow)});
        }
    }
}

bool CSplitterView::eventFilter(QObject* watched, QEvent* event) {
    // The row's width decides how many rows of controls the bar needs, and so does what the
    // bar shows (another page's controls, a longer title).
    if ((watched == m_barRow && event->type() == QEvent::Resize) ||
        (watched == m_barRow->currentWidget() && event->type() == QEvent::LayoutRequest)) {
        fitRowToBar();
    }
    return QWidget::eventFilter(watched, event);
}

void CSplitterView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    applyRowHeight();
}

PaneView* CSplitterView::currentCommandBar() const {
    return static_cast<PaneView*>(m_barRow->currentWidget());
}

PaneView* CSplitterView::currentPage() const {
    return static_cast<PaneView*>(m_pageRow->currentWidget());
}

int CSplitterView::commandRowHeight() const {
    return m_splitter->sizes().value(0);
}

void CSplitterView::setCommandRowHeight(int pixels) {
    m_rowHeight = pixels;
    applyRowHeight();
}

void CSplitterView::installView(int number, PaneView* view) {
    PaneView*& slot = m_views.at(static_cast<size_t>(number));
    QStackedWidget* row = number < nav::kCommandBarViewCount ? m_barRow : m_pageRow;
    const bool current = row->currentWidget() == slot;
    const int at = row->indexOf(slot);
    row->insertWidget(at, view);
    row->removeWidget(slot);
    if (row == m_barRow) {
        view->installEventFilter(this);
    }
    m_ownPolicies.erase(slot);
    slot->deleteLater();
    slot = view;
    if (current) {
        row->setCurrentWidget(view);
    }
    sizeRowToShownView(row, m_ownPolicies);
}

void CSplitterView::markSetSwitched() {
    for (int n : kReloadingViews) {
        view(n)->markForReload();
    }
}

}  // namespace qavix
