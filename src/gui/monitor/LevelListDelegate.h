#pragma once
// The received-light list's cells: draws the level bars and routes the cell editor's
// commits and keys to the page, which decides whether a typed threshold is taken.

#include <QStyledItemDelegate>

namespace qavix {

class CView003;

class LevelListDelegate : public QStyledItemDelegate {
  public:
    LevelListDelegate(CView003& page, QObject* parent)
        : QStyledItemDelegate(parent), m_page(page) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    CView003& m_page;
};

}  // namespace qavix
