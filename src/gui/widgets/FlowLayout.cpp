#include "widgets/FlowLayout.h"

#include <QHBoxLayout>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace qavix {

namespace {

struct Placed {
    QLayoutItem* item = nullptr;
    int width = 0;
    int height = 0;
};

int heightAt(const QLayoutItem* item, int width) {
    if (item->hasHeightForWidth()) {
        return std::max(item->heightForWidth(width), item->minimumSize().height());
    }
    return item->sizeHint().height();
}

// Rows take items while their minimum widths fit, as a box layout would squeeze them; only
// what does not fit even so starts the next row.
std::vector<std::vector<Placed>> breakRows(const QList<QLayoutItem*>& items, int available,
                                           int spacing) {
    std::vector<std::vector<Placed>> rows(1);
    int used = 0;
    for (QLayoutItem* item : items) {
        if (item->isEmpty()) {
            continue;
        }
        const int minimum = item->minimumSize().width();
        const int gap = rows.back().empty() ? 0 : spacing;
        if (!rows.back().empty() && used + gap + minimum > available) {
            rows.emplace_back();
            used = 0;
        }
        used += (rows.back().empty() ? 0 : spacing) + minimum;
        rows.back().push_back(Placed{item, minimum, 0});
    }
    return rows;
}

struct RowSize {
    int height = 0;
    int rightWidth = 0;  // taken by the right-aligned items, a spacing after each
};

// Widens the row's items into the room left and gives each its height.
RowSize sizeRow(std::vector<Placed>& row, int available, int spacing) {
    // The room left goes to the items that want more than their minimum, each as far as it
    // wants, in order.
    int spare = available - spacing * (static_cast<int>(row.size()) - 1);
    for (const Placed& p : row) {
        spare -= p.width;
    }
    for (Placed& p : row) {
        const int more = std::clamp(p.item->sizeHint().width() - p.width, 0, std::max(spare, 0));
        p.width += more;
        spare -= more;
    }
    RowSize size;
    for (Placed& p : row) {
        p.height = heightAt(p.item, p.width);
        size.height = std::max(size.height, p.height);
        if (p.item->alignment() & Qt::AlignRight) {
            size.rightWidth += p.width + spacing;
        }
    }
    return size;
}

}  // namespace

FlowLayout::FlowLayout(QWidget* parent, int horizontalSpacing, int verticalSpacing)
    : QLayout(parent), m_horizontalSpacing(horizontalSpacing), m_verticalSpacing(verticalSpacing) {}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void FlowLayout::addAligned(QWidget* widget, Qt::Alignment alignment) {
    addWidget(widget);
    setAlignment(widget, alignment);
}

void FlowLayout::insertWidget(int index, QWidget* widget) {
    addChildWidget(widget);
    m_items.insert(std::clamp(index, 0, count()), new QWidgetItem(widget));
    invalidate();
}

void FlowLayout::addItem(QLayoutItem* item) {
    m_items.append(item);
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

int FlowLayout::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const {
    QSize size;
    for (const QLayoutItem* item : m_items) {
        if (!item->isEmpty()) {
            size = size.expandedTo(item->minimumSize());
        }
    }
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const {
    int width = 0;
    int height = 0;
    int shown = 0;
    for (const QLayoutItem* item : m_items) {
        if (item->isEmpty()) {
            continue;
        }
        const QSize hint = item->sizeHint();
        width += hint.width() + (shown++ > 0 ? m_horizontalSpacing : 0);
        height = std::max(height, hint.height());
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int available = std::max(area.width(), 0);
    int y = area.top();
    int rowsUsed = 0;
    for (std::vector<Placed>& row : breakRows(m_items, available, m_horizontalSpacing)) {
        if (row.empty()) {
            continue;
        }
        ++rowsUsed;
        const RowSize size = sizeRow(row, available, m_horizontalSpacing);
        if (place) {
            int left = area.left();
            int right = std::max(area.right() + 1 - size.rightWidth + m_horizontalSpacing, left);
            for (const Placed& p : row) {
                int& x = (p.item->alignment() & Qt::AlignRight) ? right : left;
                p.item->setGeometry(QRect(x, y + (size.height - p.height) / 2, p.width, p.height));
                x += p.width + m_horizontalSpacing;
            }
        }
        y += size.height + m_verticalSpacing;
    }
    const int contentHeight = y - area.top() - (rowsUsed > 0 ? m_verticalSpacing : 0);
    const QMargins m = contentsMargins();
    return contentHeight + m.top() + m.bottom();
}

QWidget* keepTogether(std::initializer_list<QWidget*> widgets, QWidget* parent, int spacing) {
    auto* group = new QWidget(parent);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    for (QWidget* w : widgets) {
        row->addWidget(w);
    }
    return group;
}

}  // namespace qavix
