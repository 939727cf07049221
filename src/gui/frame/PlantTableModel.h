#pragma once
// The plant window's rows for a standard item view, one controller a row, so that screen
// readers reach every cell: each column's text, the severity as a text and a colour, and a
// number to sort by. Rows are replaced as the subscription hands them over; the clock only
// moves the ages and what goes silent.

#include <QAbstractTableModel>
#include <QHash>
#include <ctime>
#include <functional>
#include <vector>

#include "plant/PlantConnection.h"
#include "plant/PlantRow.h"

namespace qavix {

class PlantTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        kColSeverity,
        kColName,
        kColLine,
        kColController,
        kColCh1,
        kColCh2,
        kColCh3,
        kColAlert,
        kColError,
        kColLastSeen,
        kColFingerprint,
        kColPort,
        kColumnCount,
    };
    // A number (severity rank, seconds of age, margin) the sort proxy compares.
    static constexpr int kSortRole = Qt::UserRole + 1;
    // Every reason of the row in one text, for the problems-only filter and the text filter.
    static constexpr int kFilterRole = Qt::UserRole + 2;
    // The margin of a sensor column as a fraction of the bar (0..1), -1 for none.
    static constexpr int kMarginBarRole = Qt::UserRole + 3;
    static constexpr int kMarginLowRole = Qt::UserRole + 4;
    static constexpr int kProblemRole = Qt::UserRole + 5;

    using WallClock = std::function<std::time_t()>;

    explicit PlantTableModel(QObject* parent = nullptr);

    void setClock(WallClock clock) { m_clock = std::move(clock); }
    // Replaces or adds the rows handed over.
    void update(const std::vector<plant::PlantRow>& rows);
    // Rows are live only while the broker connection stands; otherwise they go grey.
    void setConnection(const plant::PlantConnection& connection);
    // The ages and the silent rows move with the clock.
    void tick();

    const plant::PlantRow& plantRow(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    const std::vector<plant::PlantRow>& plantRows() const { return m_rows; }
    int rowOfName(const std::string& name) const;
    bool live() const { return m_connection.live(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QString text(const plant::PlantRow& row, int column, std::time_t now) const;
    QVariant sortKey(const plant::PlantRow& row, int column, std::time_t now) const;

    std::vector<plant::PlantRow> m_rows;
    QHash<QString, int> m_rowOfName;
    plant::PlantConnection m_connection;
    WallClock m_clock;
};

}  // namespace qavix
