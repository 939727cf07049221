#pragma once
// The page the right pane shows for a folder of the tree: the names of the pages below it.
// For now the names are plain labels; choosing a page is done in the tree.

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>
#include <functional>

#include "frame/NavigationTree.h"

namespace qavix {

class CNaviView : public QScrollArea {
    Q_OBJECT
  public:
    explicit CNaviView(std::function<nav::TreeShape()> shape, QWidget* parent = nullptr);

    void setNavigationKind(int kind);
    int navigationKind() const { return m_kind; }
    QStringList labels() const;

  private:
    std::function<nav::TreeShape()> m_shape;
    QWidget* m_board = nullptr;
    QVBoxLayout* m_layout = nullptr;
    QLabel* m_heading = nullptr;
    QList<QLabel*> m_labels;
    int m_kind = 0;
};

}  // namespace qavix
