#include "monitor/LevelListDelegate.h"

#include <QCoreApplication>

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "monitor/BarRules.h"
#include "monitor/CLevelListTable.h"
#include "monitor/CView003.h"

namespace qavix {

namespace {

// The bar column leaves this much room on each side of the bar.
constexpr int kBarInset = 3;

}  // namespace

void LevelListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    if (index.column() != CLevelListTable::kBarColumn) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const int level = index.data(CLevelListTable::kBarLevelRole).toInt();
    const QColor colour = index.data(CLevelListTable::kBarColourRole).value<QColor>();
    const QRect area = option.rect.adjusted(kBarInset, kBarInset, -kBarInset, -kBarInset);
    const int width = area.width() * std::clamp(level, 0, kFullScale) / kFullScale;
    if (width > 0 && colour.isValid()) {
        painter->fillRect(QRect(area.left(), area.top(), width, area.height()), colour);
    }
}

QWidget* LevelListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setAccessibleName(
        index.column() == CLevelListTable::kOnColumn
            ? QCoreApplication::translate("qavix::LevelListDelegate", "ONしきい値")
            : QCoreApplication::translate("qavix::LevelListDelegate", "OFFしきい値"));
    edit->setFrame(false);
    return edit;
}

void LevelListDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<QLineEdit*>(editor);
    edit->setText(index.data().toString());
    edit->selectAll();
}

void LevelListDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                     const QModelIndex& index) const {
    m_page.typeCell(index.row(), index.column(), static_cast<QLineEdit*>(editor)->text());
}

bool LevelListDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor == nullptr || event->type() != QEvent::KeyPress) {
        return QStyledItemDelegate::eventFilter(object, event);
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    const QTableWidget* list = m_page.list();
    const int rowsPerPage = std::max(
        1, list->viewport()->height() / std::max(1, list->verticalHeader()->defaultSectionSize()));
    const QModelIndex here = list->currentIndex();
    int row = here.row();
    int column = here.column();
    const bool onCell = column == CLevelListTable::kOnColumn;
    switch (key) {
        case Qt::Key_Tab:
            // ON, then OFF, then the next row's ON.
            row += onCell ? 0 : 1;
            column = onCell ? CLevelListTable::kOffColumn : CLevelListTable::kOnColumn;
            break;
        case Qt::Key_Backtab:
            row -= onCell ? 1 : 0;
            column = onCell ? CLevelListTable::kOffColumn : CLevelListTable::kOnColumn;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down:
            row += 1;
            break;
        case Qt::Key_Up:
            row -= 1;
            break;
        case Qt::Key_PageDown:
            row += rowsPerPage;
            break;
        case Qt::Key_PageUp:
            row -= rowsPerPage;
            break;
        default:
            return QStyledItemDelegate::eventFilter(object, event);
    }
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    row = std::clamp(row, 0, std::max(0, list->rowCount() - 1));
    CView003* page = &m_page;
    QMetaObject::invokeMethod(
        page, [page, row, column] { page->editCell(row, column); }, Qt::QueuedConnection);
    return true;
}

}  // namespace qavix
