#pragma once
// The right pane: the navigation view for folders (page 1), or the command bar and page of
// a page index. Entering and leaving the settings list and the clock page switch the
// frame's print, import, export and bank commands.

#include <QStackedWidget>
#include <QTreeWidgetItem>
#include <functional>

#include "frame/CNaviView.h"
#include "frame/CSplitterView.h"

namespace qavix {

class CRightPaneFrame : public QStackedWidget {
    Q_OBJECT
  public:
    // `title` gives the page title the tree stored.
    CRightPaneFrame(std::function<nav::TreeShape()> shape, std::function<QString()> title,
                    QWidget* parent = nullptr);

    void setNavigationKind(int kind) { m_navKind = kind; }
    int navigationKind() const { return m_navKind; }
    void setSelectedItem(QTreeWidgetItem* item) { m_selectedItem = item; }
    QTreeWidgetItem* selectedItem() const { return m_selectedItem; }

    void showPage(int pageIndex);
    int currentPageIndex() const { return m_page; }

    CNaviView* naviView() const { return m_navi; }
    CSplitterView* splitterView() const { return m_splitterView; }
    bool showsNaviView() const { return currentWidget() == m_navi; }

  signals:
    // The settings list page was entered (true) or left (false).
    void settingsListShown(bool shown);
    // The clock page was entered (true) or left (false).
    void clockPageShown(bool shown);

  private:
    CNaviView* m_navi = nullptr;
    CSplitterView* m_splitterView = nullptr;
    std::function<QString()> m_title;
    QTreeWidgetItem* m_selectedItem = nullptr;
    int m_page = nav::kPageNavigation;
    int m_navKind = 0;
};

}  // namespace qavix
