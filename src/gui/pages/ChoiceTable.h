#pragma once
// The lists of the P-I/O and group pages: a fixed number of rows, full-row selection, grid
// lines and movable headers, whose cells are edited with `CellChoiceEditor` and show a
// changed cell in the changed colour and a faulty row in the invalid colour.

#include <QTableWidget>
#include <vector>

#include "model/PageEditState.h"

namespace qavix {

struct ChoiceColumn {
    QString header;
    int width;
};

// A list of `rows` rows with `columns`, named `name` for the object tree and `label` for
// the screen reader.
QTableWidget* makeChoiceTable(QWidget* parent, const QString& name, const QString& label, int rows,
                              const std::vector<ChoiceColumn>& columns);

// Sets a cell's text and background: changed cells in the changed colour, cells of a faulty
// row in the invalid colour, others plain.
void setChoiceCell(QTableWidget* table, int row, int column, const QString& text, FieldState state);

}  // namespace qavix
