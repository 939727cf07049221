#pragma once
// The beam-designation page (page 19): the beams of one sensor, or of all connected sensors,
// as a list with the level, a level bar and a check box per beam. A click on a check box
// picks or unpicks its beam; Space sets every selected row to the opposite of the current
// row (Shift+arrows or Shift+click extend the selection first); the command bar adds the
// incident or blocked beams, clears, writes and cancels. Levels are ratio levels judged
// against the ratio thresholds, as the graph page shows them by default.

#include <QAbstractTableModel>
#include <QTableView>

#include "monitor/BeamPage.h"
#include "pages/PageIndex.h"

namespace qavix {

class CView017;

// The rows of the list, read straight from the page's row, picks and working set.
class BeamListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column : int { kNumber = 0, kLevel, kLevelBar, kSetting, kColumnCount };
    // The bar column's level and the colour of its state.
    static constexpr int kStateColourRole = Qt::UserRole + 1;

    explicit BeamListModel(CView017& page);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void reset();
    void changedAll();

  private:
    CView017& m_page;
};

class CView017 : public BeamPage {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPageBeamDesignation;
    // The list in text form starts with this line; a CSV header other tools read, so the
    // same in every language.
    static constexpr const char* kTextHeading =
        "光軸番号,受光レベル,設定\n";  // untranslated: a CSV header

    explicit CView017(const PageContext& context, QWidget* parent = nullptr);

    QTableView* list() const { return m_list; }
    BeamListModel* listModel() const { return m_model; }

    // One beam's check box.
    void setPicked(int row, bool on);
    // Space: the selected rows follow the opposite of the current row.
    void toggleSelectedRows();
    // The rows as "光軸番号,受光レベル,設定" text, "1" for a picked beam.
    QString listText() const;

  protected:
    void rebuild() override;
    void redraw() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class BeamListModel;

    QTableView* m_list = nullptr;
    BeamListModel* m_model = nullptr;
};

}  // namespace qavix
