#pragma once
// The right pane's page area: a row of command bars above a row of pages. Every bar and
// page is created once here and afterwards only shown or hidden.

#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <array>
#include <unordered_map>

#include "frame/PageTable.h"
#include "pages/PaneView.h"

namespace qavix {

class CSplitterView : public QWidget {
    Q_OBJECT
  public:
    explicit CSplitterView(QWidget* parent = nullptr);

    // Shows the command bar and page of `pageIndex` with the page title; page 1 only leaves
    // the clock page. Indexes without a page change nothing.
    void showPage(int pageIndex, const QString& title);

    PaneView* view(int number) const { return m_views.at(static_cast<size_t>(number)); }
    PaneView* currentCommandBar() const;
    PaneView* currentPage() const;
    int commandRowHeight() const;
    int storedCommandRowHeight() const { return m_rowHeight; }
    void setCommandRowHeight(int pixels);

    // Puts a built view in the place of its placeholder (view numbers of the page table).
    void installView(int number, PaneView* view);

    // After a set switch the pages that cache the working set reload when shown next.
    void markSetSwitched();

    // The height the shown command bar needs at the row's width: a narrow bar wraps its
    // controls onto more rows, and the row grows to show them all.
    int commandBarNeeds() const;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyRowHeight();
    void fitRowToBar();

    QSplitter* m_splitter = nullptr;
    QStackedWidget* m_barRow = nullptr;
    QScrollArea* m_pageScroll = nullptr;
    QStackedWidget* m_pageRow = nullptr;
    std::array<PaneView*, nav::kViewCount> m_views{};
    int m_rowHeight = nav::kCommandRowHeight;
    bool m_collapsed = false;
    // Each view's own size policy, while a hidden view's is set aside.
    std::unordered_map<QWidget*, QSizePolicy> m_ownPolicies;
};

}  // namespace qavix
