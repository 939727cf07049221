#pragma once
// What the two beam selection pages share (the chart page 9 and the list page 19): which
// table they edit, the row of one sensor or of all connected sensors, the picks kept per
// sensor and beam, the reads that show live levels, the write and the revert, and the
// edit-in-progress state that keeps the tree on the page until the picks are written or
// cancelled. The rules are core's (monitor/BeamSelection); a page only draws them.

#include "monitor/BeamSelection.h"
#include "monitor/LevelReading.h"
#include "pages/PageBase.h"

namespace qavix {

class BeamPage : public PageBase {
    Q_OBJECT
  public:
    BeamPage(const QString& className, const PageContext& context, int pageIndex, int editedFlag,
             QWidget* parent = nullptr);

    // Takes the table and sensor the opening page chose, reads fresh levels and the
    // table, and starts from the working set's picks.
    void pageShown(const QString& title) override;

    int pageIndex() const { return m_pageIndex; }
    BeamFlagTable table() const { return m_table; }
    int channel() const { return m_range.channel(); }
    const beams::BeamRange& range() const { return m_range; }
    const beams::BeamPicks& picks() const { return m_picks; }
    bool edited() const { return m_edited; }
    bool ratioDisplay() const { return m_ratio; }

    // The command bar's actions.
    // Shows another channel (0..2, 3 all sensors) and reads its levels ("更新").
    bool update(int channel);
    void designate(beams::Designation what);
    void clearPicks();
    // Sends the picks of the shown sensors (and of others edited meanwhile) between start
    // and enable setting; the picks stay when a request fails.
    bool write();
    // Back to the working set's table.
    void revert();

  signals:
    // A designation, clear or pick changed the picks: the bar offers "書込み"/"取消し".
    void picksEdited();
    // The page was shown for its table and channel, with its picks clean.
    void opened();
    void written(bool ok);

  protected:
    // Builds the chart items or list rows for a new row of beams.
    virtual void rebuild() = 0;
    // Shows values, states and picks again.
    virtual void redraw() = 0;

    beams::BeamPicks& mutablePicks() { return m_picks; }
    void markEdited();
    void setRatioDisplay(bool ratio) { m_ratio = ratio; }
    // The levels and thresholds of the shown sensors for the current display.
    bool readDisplay();

  private:
    void markClean();
    void setRange(int channel);
    std::vector<PageRead> openingReads() const;

    int m_pageIndex;
    int m_editedFlag;
    BeamFlagTable m_table = BeamFlagTable::Designated;
    beams::BeamRange m_range;
    beams::BeamPicks m_picks;
    bool m_edited = false;
    bool m_ratio = true;
};

}  // namespace qavix
