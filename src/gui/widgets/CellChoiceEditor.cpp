#include "widgets/CellChoiceEditor.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QTimer>

namespace qavix {

namespace {

// The drop-down of the cell editor; tells a pick from its list apart from Up and Down,
// which change the choice too but leave the editor open.
class ChoiceBox : public QComboBox {
  public:
    using QComboBox::QComboBox;

    void hidePopup() override {
        const bool wasOpen = view() != nullptr && view()->isVisible();
        QComboBox::hidePopup();
        if (wasOpen) {
            // A pick closes the list and then reports the item in the same call; Escape
            // closes it without a report.
            m_justClosed = true;
            QTimer::singleShot(0, this, [this] { m_justClosed = false; });
        }
    }
    bool justClosed() const { return m_justClosed; }

  private:
    bool m_justClosed = false;
};

QString headerText(const QAbstractItemView* view, const QModelIndex& index) {
    const QAbstractItemModel* model = view->model();
    return model->headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString();
}

QString rowText(const QAbstractItemView* view, const QModelIndex& index) {
    return view->model()->index(index.row(), 0).data(Qt::DisplayRole).toString();
}

}  // namespace

CellChoiceEditor::CellChoiceEditor(QAbstractItemView* view, Choices choices)
    : QStyledItemDelegate(view), m_view(view), m_choices(std::move(choices)) {
    view->setItemDelegate(this);
    view->setEditTriggers(QAbstractItemView::EditKeyPressed);
    connect(view, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { open(index, true); });
    // Enter on a cell: the view reports it as activated instead of opening an editor.
    connect(view, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (m_open == nullptr) {
            open(index, false);
        }
    });
}

bool CellChoiceEditor::openCurrent(bool droppedDown) {
    return open(m_view->currentIndex(), droppedDown);
}

bool CellChoiceEditor::open(const QModelIndex& index, bool droppedDown) {
    if (!index.isValid() || m_choices(index.row(), index.column()).isEmpty()) {
        return false;
    }
    m_view->setCurrentIndex(index);
    m_dropNext = droppedDown;
    m_view->edit(index);
    m_dropNext = false;
    return m_open != nullptr;
}

QWidget* CellChoiceEditor::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                        const QModelIndex& index) const {
    const QStringList texts = m_choices(index.row(), index.column());
    if (texts.isEmpty()) {
        return nullptr;
    }
    auto* box = new ChoiceBox(parent);
    box->addItems(texts);
    box->setMaxVisibleItems(16);
    box->setAccessibleName(headerText(m_view, index));
    box->setAccessibleDescription(rowText(m_view, index));
    box->installEventFilter(const_cast<CellChoiceEditor*>(this));
    auto* self = const_cast<CellChoiceEditor*>(this);
    connect(box, QOverload<int>::of(&QComboBox::activated), self, [self, box](int) {
        if (box->justClosed()) {
            self->commitAndClose(box);
        }
    });
    if (m_dropNext) {
        QTimer::singleShot(0, box, [box] {
            if (box->isVisible()) {
                box->showPopup();
            }
        });
    }
    m_open = box;
    return box;
}

void CellChoiceEditor::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editor == m_open) {
        m_open = nullptr;
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void CellChoiceEditor::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    const int at = box->findText(index.data(Qt::DisplayRole).toString());
    box->setCurrentIndex(at >= 0 ? at : 0);
}

void CellChoiceEditor::setModelData(QWidget* editor, QAbstractItemModel* /*model*/,
                                    const QModelIndex& index) const {
    // The owner turns the choice into its values and writes the cells' texts itself: one
    // choice may change other cells of the row too.
    auto* box = static_cast<QComboBox*>(editor);
    if (box->currentIndex() < 0) {
        return;
    }
    auto* self = const_cast<CellChoiceEditor*>(this);
    emit self->chosen(index.row(), index.column(), box->currentIndex(), box->currentText());
}

void CellChoiceEditor::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& /*index*/) const {
    editor->setGeometry(option.rect);
}

void CellChoiceEditor::commitAndClose(QComboBox* box) {
    emit commitData(box);
    emit closeEditor(box, QAbstractItemDelegate::NoHint);
}

void CellChoiceEditor::moveSideways(QComboBox* box, int step) {
    const QModelIndex from = m_view->currentIndex();
    commitAndClose(box);
    const QAbstractItemModel* model = m_view->model();
    for (int c = from.column() + step; c >= 0 && c < model->columnCount(); c += step) {
        const QModelIndex to = model->index(from.row(), c);
        if (!m_choices(to.row(), to.column()).isEmpty()) {
            open(to, false);
            return;
        }
    }
    m_view->setFocus();
}

bool CellChoiceEditor::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QComboBox*>(watched);
    if (box != nullptr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
            moveSideways(box, key->key() == Qt::Key_Left ? -1 : 1);
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commitAndClose(box);
            m_view->setFocus();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

}  // namespace qavix
