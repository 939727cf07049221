#include "pages/ChoiceTable.h"

#include <QHeaderView>

#include "pages/FieldColours.h"

namespace qavix {

namespace {

constexpr int kRowPadding = 6;

}  // namespace

QTableWidget* makeChoiceTable(QWidget* parent, const QString& name, const QString& label, int rows,
                              const std::vector<ChoiceColumn>& columns) {
    auto* table = new QTableWidget(rows, static_cast<int>(columns.size()), parent);
    table->setObjectName(name);
    table->setAccessibleName(label);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setShowGrid(true);
    table->horizontalHeader()->setSectionsMovable(true);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->hide();
    // Compact rows, so all sixteen terminals or groups fit the page at once.
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + kRowPadding);
    table->setTabKeyNavigation(true);
    for (size_t c = 0; c < columns.size(); ++c) {
        const int column = static_cast<int>(c);
        table->setHorizontalHeaderItem(column, new QTableWidgetItem(columns[c].header));
        table->setColumnWidth(column, columns[c].width);
        for (int r = 0; r < rows; ++r) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            table->setItem(r, column, item);
        }
    }
    return table;
}

void setChoiceCell(QTableWidget* table, int row, int column, const QString& text,
                   FieldState state) {
    QTableWidgetItem* item = table->item(row, column);
    item->setText(text);
    switch (state) {
        case FieldState::Changed:
            item->setBackground(kChangedFieldColour);
            break;
        case FieldState::Invalid:
            item->setBackground(kInvalidFieldColour);
            break;
        default:
            item->setBackground(QBrush());
            break;
    }
}

}  // namespace qavix
