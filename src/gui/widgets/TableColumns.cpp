#include "widgets/TableColumns.h"

#include <QHeaderView>
#include <algorithm>
#include <numeric>

namespace qavix {

std::vector<int> fitColumns(const std::vector<int>& wanted, const std::vector<int>& needed,
                            int available) {
    std::vector<int> out(wanted.size());
    long long spare = 0;
    for (size_t c = 0; c < wanted.size(); ++c) {
        const int need = c < needed.size() ? needed[c] : 0;
        out[c] = std::max(wanted[c], need);
        spare += std::max(0, out[c] - need);
    }
    const long long total = std::accumulate(out.begin(), out.end(), 0LL);
    const long long excess = std::min(total - available, spare);
    if (excess <= 0) {
        return out;
    }
    // Each column gives back its share of the excess, rounded down; the last pixels come
    // from the first columns that still have some to give.
    long long given = 0;
    for (size_t c = 0; c < out.size(); ++c) {
        const int need = c < needed.size() ? needed[c] : 0;
        const long long share = excess * std::max(0, out[c] - need) / spare;
        out[c] -= static_cast<int>(share);
        given += share;
    }
    for (size_t c = 0; c < out.size() && given < excess; ++c) {
        const int need = c < needed.size() ? needed[c] : 0;
        const long long take = std::min<long long>(out[c] - need, excess - given);
        if (take > 0) {
            out[c] -= static_cast<int>(take);
            given += take;
        }
    }
    return out;
}

std::vector<int> contentWidths(const QTableView& table) {
    const QHeaderView* header = table.horizontalHeader();
    const int columns = table.model() != nullptr ? table.model()->columnCount() : 0;
    std::vector<int> out(static_cast<size_t>(std::max(columns, 0)));
    for (int c = 0; c < columns; ++c) {
        const int head = header->isHidden() ? 0 : header->sectionSizeHint(c);
        // Public in the item view, protected in the table view.
        const QAbstractItemView& view = table;
        out[static_cast<size_t>(c)] = std::max(head, view.sizeHintForColumn(c));
    }
    return out;
}

void applyFittedColumns(QTableView& table, const std::vector<int>& wanted) {
    const std::vector<int> widths =
        fitColumns(wanted, contentWidths(table), table.viewport()->width());
    for (size_t c = 0; c < widths.size(); ++c) {
        table.setColumnWidth(static_cast<int>(c), widths[c]);
    }
    const int total = std::accumulate(widths.begin(), widths.end(), 0);
    table.setHorizontalScrollBarPolicy(total > table.viewport()->width() ? Qt::ScrollBarAsNeeded
                                                                         : Qt::ScrollBarAlwaysOff);
}

}  // namespace qavix
