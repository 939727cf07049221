#pragma once
// A drop-down over one cell of a list, for lists whose cells each take one of a few texts.
// It opens with its list dropped down on a click, and closed on F2 or Enter; in it, Up and
// Down change the choice, Left and Right move to the neighbouring cell, Tab to the next;
// Enter, a pick from the list or leaving the cell commits, Escape cancels. The list's owner
// says which texts a cell offers and learns what was chosen; the cells' texts stay its own.

#include <QComboBox>
#include <QStringList>
#include <QStyledItemDelegate>
#include <functional>

class QAbstractItemView;

namespace qavix {

class CellChoiceEditor : public QStyledItemDelegate {
    Q_OBJECT
  public:
    // The texts a cell offers; none: the cell is not edited.
    using Choices = std::function<QStringList(int row, int column)>;

    // Becomes the delegate of `view` and takes over how its cells start editing.
    CellChoiceEditor(QAbstractItemView* view, Choices choices);

    // Opens the drop-down on the view's current cell; false when that cell offers nothing.
    bool openCurrent(bool droppedDown = false);
    // The drop-down now open, if any.
    QComboBox* openEditor() const { return m_open; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

  signals:
    // A choice was committed for the cell: its position among the offered texts.
    void chosen(int row, int column, int choice, const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool open(const QModelIndex& index, bool droppedDown);
    void moveSideways(QComboBox* box, int step);
    void commitAndClose(QComboBox* box);

    QAbstractItemView* m_view;
    Choices m_choices;
    bool m_dropNext = false;
    mutable QComboBox* m_open = nullptr;
};

}  // namespace qavix
