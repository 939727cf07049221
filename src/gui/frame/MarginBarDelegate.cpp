#include "frame/MarginBarDelegate.h"

#include <QPainter>

#include "frame/PlantTableModel.h"

namespace qavix {

namespace {

constexpr int kBarHeight = 4;
constexpr int kBarMargin = 3;

}  // namespace

void MarginBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const double fraction = index.data(PlantTableModel::kMarginBarRole).toDouble();
    if (fraction < 0) {
        return;
    }
    const QRect cell = option.rect.adjusted(kBarMargin, 0, -kBarMargin, -kBarMargin);
    const QRect track(cell.left(), cell.bottom() - kBarHeight + 1, cell.width(), kBarHeight);
    const bool low = index.data(PlantTableModel::kMarginLowRole).toBool();
    painter->save();
    painter->fillRect(track, QColor(200, 200, 200));
    QRect filled = track;
    filled.setWidth(static_cast<int>(track.width() * fraction));
    painter->fillRect(filled, low ? QColor(220, 40, 40) : QColor(30, 160, 30));
    painter->restore();
}

}  // namespace qavix
