#pragma once
// The scan monitor's time chart: one column per sample, one row per beam, set bits in the
// scan-on colour and clear bits in the scan-off colour, the beams named down its left side.
// It draws into an off-screen image and, while sampling, writes only the new column's pixels
// into it and repaints only that column (and the mark of the newest sample, which is laid
// over the image rather than drawn into it); the whole image is redrawn only when the
// layout, the scroll position or the colours change.

#include <QAbstractScrollArea>
#include <QImage>
#include <vector>

#include "model/DeviceData.h"
#include "model/ScanHistory.h"
#include "model/ScanRows.h"

namespace qavix {

class ScanChart : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit ScanChart(QWidget* parent = nullptr);

    void setColors(const QColor& on, const QColor& off);

    // New rows (another channel, or "クリア"): an empty history, both counters 0.
    void reset(const scan::ScanRows& rows, int rowsShown, int samplesShown);
    // Rows and samples shown; the history is kept.
    void setShown(int rowsShown, int samplesShown);
    int rowsShown() const { return m_rowsShown; }
    int samplesShown() const { return m_samplesShown; }

    // Scroll bars are inactive while running; a stop turns to the newest sample's screen.
    void setRunning(bool on);
    bool running() const { return m_running; }

    // One sample from the monitoring tables of `set`: a new column, drawn alone.
    void appendSample(const SettingsData& set);

    const scan::ScanHistory& history() const { return m_history; }
    const scan::ScanRows& rows() const { return m_rows; }
    int firstSampleShown() const { return m_firstSample; }
    int firstRowShown() const { return m_firstRow; }
    // The slot each column shows now (-1: empty).
    const std::vector<int>& columnSlots() const { return m_columnSlot; }
    // The viewport area the last appended sample was drawn into.
    QRect lastColumnRect() const { return m_lastColumn; }
    // "光軸：CH1-5 サンプル：1001" for the cell under a viewport position; empty where no
    // sample is.
    QString toolTipAt(const QPoint& pos) const;
    // The off-screen picture as it stands.
    const QImage& image() const { return m_image; }
    // The rows (counted from the first shown) named beside the chart, with their names.
    const std::vector<int>& labelledRows() const { return m_labelled; }
    QString rowLabel(int row) const;
    // The width of the beam names' strip left of the cells.
    int labelWidth() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void layoutCells();
    void updateScrollBars();
    void redrawAll();
    void drawColumn(int index);
    QRect columnRect(int column) const;
    QRect newestMarkRect() const;
    void placeLabels();
    void paintLabels();

    scan::ScanRows m_rows;
    scan::ScanHistory m_history;
    int m_rowsShown = 0;
    int m_samplesShown = 60;
    int m_firstSample = 0;
    int m_firstRow = 0;
    bool m_running = false;
    std::vector<int> m_columnSlot;
    std::vector<int> m_columnEnds;
    std::vector<int> m_rowEnds;
    QImage m_image;
    QColor m_on{0, 255, 0};
    QColor m_off{128, 128, 128};
    QRect m_lastColumn;
    int m_newestColumn = -1;
    QWidget* m_labels = nullptr;
    std::vector<int> m_labelled;
};

}  // namespace qavix
