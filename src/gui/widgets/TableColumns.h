#pragma once
// Columns that share a list's width in set proportions, yet are never narrower than what
// they show: with a large font or scale factor a column widens to its header and cells,
// takes the room from columns that have more than they need, and only when that is not
// enough does the list scroll sideways.

#include <QTableView>
#include <vector>

namespace qavix {

// `wanted` (the proportional widths, summing to about `available`) with every column at
// least `needed`; what that adds comes from the columns above their need, in proportion to
// how much they have spare, as far as they have it. Sums to more than `available` only
// when the needs do.
std::vector<int> fitColumns(const std::vector<int>& wanted, const std::vector<int>& needed,
                            int available);

// What each column of `table` needs to show its header and the cells of its rows whole.
std::vector<int> contentWidths(const QTableView& table);

// Sets the columns of `table` to `wanted` fitted to their contents in its viewport, and lets
// it scroll sideways when they do not fit.
void applyFittedColumns(QTableView& table, const std::vector<int>& wanted);

}  // namespace qavix
