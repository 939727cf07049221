#pragma once
// The tree view of the navigation pane. Choosing a set opens its subtree and closes the
// other's, so rows move while the mouse button is still down; the view must go on meaning
// the item that was under the pointer when it was pressed, never the row that moved there.

#include <QPersistentModelIndex>
#include <QTreeWidget>

namespace qavix {

class NavigationTreeWidget : public QTreeWidget {
    Q_OBJECT
  public:
    explicit NavigationTreeWidget(QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The column is as wide as its widest shown text and never narrower than the pane: the
    // highlight spans the pane, and a text wider than the pane scrolls sideways.
    void updateGeometries() override;

  private:
    // The highlight is the current item and nothing else.
    void selectOnlyCurrent();

    QPersistentModelIndex m_pressed;
    bool m_fitting = false;
};

}  // namespace qavix
