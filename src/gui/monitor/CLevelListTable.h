#pragma once
// The received-light list's table: one row per beam with its number, level, ON and OFF
// threshold and a level bar. Only the ON and OFF cells take edits; the bar column takes
// the width the others leave, and no column is narrower than its header and cells.

#include <QColor>
#include <QTableWidget>
#include <array>
#include <string>
#include <vector>

namespace qavix {

class CLevelListTable : public QTableWidget {
    Q_OBJECT
  public:
    enum Column : int { kBeamColumn, kLevelColumn, kOnColumn, kOffColumn, kBarColumn };
    static constexpr int kColumnCount = 5;
    // Item data of the bar column: the level drawn and its colour.
    static constexpr int kBarLevelRole = Qt::UserRole;
    static constexpr int kBarColourRole = Qt::UserRole + 1;
    // The beam cell's label as the CSV file holds it, the same in every language.
    static constexpr int kFileLabelRole = Qt::UserRole + 2;

    struct BeamLabel {
        std::string shown;
        std::string inFile;
    };

    explicit CLevelListTable(QWidget* parent = nullptr);

    // Column widths for a list `width` pixels wide, with or without the vertical scroll bar,
    // before they are widened to what they show.
    static std::array<int, kColumnCount> columnWidths(int width, bool scrollBarShown);
    void applyColumnWidths();

    // One row per label, the label in the beam column and the other cells empty.
    void setRows(const std::vector<BeamLabel>& beamLabels);
    void showPair(int row, const std::string& on, const std::string& off);
    void showLevel(int row, int level, const QColor& colour);
    // The beam, level, ON and OFF texts of every row, as the CSV holds them.
    std::vector<std::vector<std::string>> csvRows() const;
};

}  // namespace qavix
