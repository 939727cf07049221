#include "monitor/CLevelListTable.h"

#include <QHeaderView>
#include <QScrollBar>

#include "widgets/TableColumns.h"

namespace qavix {

namespace {

// The width a vertical scroll bar takes from the bar column.
constexpr int kScrollBarWidth = 16;

}  // namespace

CLevelListTable::CLevelListTable(QWidget* parent) : QTableWidget(0, kColumnCount, parent) {
    setObjectName("list1034");
    setAccessibleName(tr("受光レベルリスト"));
    setHorizontalHeaderLabels({tr("光軸番号"), tr("受光レベル"), tr("ONしきい値"),
                               tr("OFFしきい値"), tr("受光レベルグラフ")});
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeaderItem(kBeamColumn)->setTextAlignment(Qt::AlignCenter);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
}

std::array<int, CLevelListTable::kColumnCount> CLevelListTable::columnWidths(int width,
                                                                             bool scrollBarShown) {
    const int w = std::max(width - 5, 0);
    std::array<int, kColumnCount> out{w / 6, w / 7, w / 7, w * 2 / 13, 0};
    out[kBarColumn] =
        std::max(w - out[0] - out[1] - out[2] - out[3] - (scrollBarShown ? kScrollBarWidth : 0), 0);
    return out;
}

void CLevelListTable::applyColumnWidths() {
    const auto widths = columnWidths(width(), verticalScrollBar()->isVisible());
    applyFittedColumns(*this, std::vector<int>(widths.begin(), widths.end()));
}

void CLevelListTable::setRows(const std::vector<BeamLabel>& beamLabels) {
    setRowCount(0);
    setRowCount(static_cast<int>(beamLabels.size()));
    for (int row = 0; row < rowCount(); ++row) {
        for (int c = 0; c < kColumnCount; ++c) {
            auto* cell = new QTableWidgetItem;
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c == kOnColumn || c == kOffColumn) {
                flags |= Qt::ItemIsEditable;
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (c == kLevelColumn) {
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            cell->setFlags(flags);
            setItem(row, c, cell);
        }
        const BeamLabel& label = beamLabels[static_cast<size_t>(row)];
        item(row, kBeamColumn)->setText(QString::fromStdString(label.shown));
        item(row, kBeamColumn)->setData(kFileLabelRole, QString::fromStdString(label.inFile));
    }
}

void CLevelListTable::showPair(int row, const std::string& on, const std::string& off) {
    item(row, kOnColumn)->setText(QString::fromStdString(on));
    item(row, kOffColumn)->setText(QString::fromStdString(off));
}

void CLevelListTable::showLevel(int row, int level, const QColor& colour) {
    item(row, kLevelColumn)->setText(QString::number(level));
    QTableWidgetItem* bar = item(row, kBarColumn);
    bar->setData(kBarLevelRole, level);
    bar->setData(kBarColourRole, colour);
    // Screen readers read the bar as its level.
    bar->setData(Qt::AccessibleTextRole, QString::number(level));
}

std::vector<std::vector<std::string>> CLevelListTable::csvRows() const {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < rowCount(); ++row) {
        std::vector<std::string> cells;
        for (int c = kBeamColumn; c <= kOffColumn; ++c) {
            const QTableWidgetItem* cell = item(row, c);
            cells.push_back(
                (c == kBeamColumn ? cell->data(kFileLabelRole).toString() : cell->text())
                    .toStdString());
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

}  // namespace qavix
