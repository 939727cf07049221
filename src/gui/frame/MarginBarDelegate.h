#pragma once
// A sensor's worst margin in the plant window: a small bar under the cell's text, filled to
// the margin (full at 200 %), red while the monitor's margin-low alert stands. The text
// stays, so what the bar says is also read aloud and copied.

#include <QStyledItemDelegate>

namespace qavix {

class MarginBarDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace qavix
