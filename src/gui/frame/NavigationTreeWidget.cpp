#include "frame/NavigationTreeWidget.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <algorithm>

namespace qavix {

NavigationTreeWidget::NavigationTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void NavigationTreeWidget::mousePressEvent(QMouseEvent* event) {
    // Moving into the pane refreshes the tree, which may put new items in the same rows:
    // let that happen before the row under the pointer is looked up.
    if (!hasFocus() && (focusPolicy() & Qt::ClickFocus) != 0) {
        setFocus(Qt::MouseFocusReason);
    }
    m_pressed = indexAt(event->position().toPoint());
    QTreeWidget::mousePressEvent(event);
    // The base press makes the item current (which may rebuild the rows around it) and
    // only then selects by the pointer position, which may now lie over another row; a
    // refused set switch puts the current item back after the press chose one.
    selectOnlyCurrent();
}

void NavigationTreeWidget::mouseMoveEvent(QMouseEvent* event) {
    // A drag with the button down would walk the pointer over rows that moved since the
    // press and open each one's page; a page is chosen by pressing on it.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void NavigationTreeWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click may have moved another item under the pointer; the second click of
    // the pair belongs to the item the first one chose.
    if (indexAt(event->position().toPoint()) != QModelIndex(m_pressed)) {
        event->accept();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
    selectOnlyCurrent();
}

void NavigationTreeWidget::selectOnlyCurrent() {
    QItemSelectionModel* selection = selectionModel();
    const QModelIndex current = currentIndex();
    if (selection == nullptr || !current.isValid()) {
        return;
    }
    const QModelIndexList selected = selection->selectedIndexes();
    if (selected.size() != 1 || selected.constFirst() != current) {
        selection->select(current, QItemSelectionModel::ClearAndSelect);
    }
}

void NavigationTreeWidget::updateGeometries() {
    QTreeWidget::updateGeometries();
    if (m_fitting) {
        return;
    }
    // Resizing the section lays the view out again, which comes back here.
    m_fitting = true;
    header()->resizeSection(0, std::max(sizeHintForColumn(0), viewport()->width()));
    m_fitting = false;
}

}  // namespace qavix
