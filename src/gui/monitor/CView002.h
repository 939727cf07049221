#pragma once
// The received-light graph page (page 4): the level of every beam of one sensor, or of all
// connected sensors, as a bar chart with each beam's thresholds. Reads once ("更新") or
// continuously ("連続更新", one read per `Interval` after the previous one ends), shows
// ratio or absolute values, saves the level table as CSV and the chart as a PNG picture.
// Opened from a sensor item it shows that sensor with its channel thresholds
// (single-channel mode). Threshold tuning plugs in through GraphTuning.

#include <QPointer>
#include <QTimer>

#include "monitor/CChartWnd.h"
#include "monitor/CGraphCommandBar.h"
#include "monitor/CLegendDlg.h"
#include "monitor/GraphTuning.h"
#include "monitor/LevelGraphFiles.h"
#include "monitor/LevelReading.h"
#include "pages/CommandTarget.h"
#include "pages/PageBase.h"
#include "pages/PageIndex.h"

namespace qavix {

class CView002 : public PageBase, public CommandTarget {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPageLevelGraph;
    static constexpr int kPageEditedFlag = 11;
    // Bars shown before any sensor is known.
    static constexpr int kEmptyBars = 10;
    static constexpr int kInitialScaleStep = 2;

    using SavePathAsker = LevelGraphFiles::PathAsker;

    explicit CView002(const PageContext& context, QWidget* parent = nullptr);
    ~CView002() override;

    void pageShown(const QString& title) override;

    // CommandTarget: "書込み" and "取消し" of the general command bar.
    bool writePage() override;
    void cancelPage() override;
    void applyCommandButtons() override;

    // The bar's controls, for the general command bar to place.
    CGraphCommandBar* commandControls() const { return m_bar; }
    CChartWnd* chart() const { return m_chart; }
    void setTuning(GraphTuning* tuning);
    void setSavePathAsker(SavePathAsker asker) { m_files.setAsker(std::move(asker)); }

    int channel() const { return m_channel; }
    bool ratioDisplay() const { return m_ratio; }
    bool singleChannel() const { return m_single; }
    bool running() const { return m_running; }
    int scaleStep() const { return m_scaleStep; }
    int beamTotal() const { return m_beamTotal; }
    bool loadedOnce() const { return m_loadedOnce; }
    levels::GraphChoice choice() const { return levels::GraphChoice{m_channel, m_single}; }

    // The page's commands, also reached from the bar's controls.
    void selectChannel(int comboIndex);
    void setVisibleBars(int count);
    void setScaleIndex(int index);
    void setDisplayMode(bool ratio);
    void updateOnce();
    void toggleContinuous();
    void showLegend();
    // With a path the dialog is skipped (the command line's and tests' way in).
    bool saveCsv(const QString& path = QString());
    bool saveImage(const QString& path = QString());

    // The reads of one operation, with the communication-busy flag held; true when all
    // succeeded. Tuning runs these too.
    bool runOperation(levels::Operation op);
    // Operation 0 under the wait window, then the chart built for the mode.
    bool fullLoad();
    // Values and colours from the working set, and with `thresholds` the chart's threshold
    // lines too, for the current display.
    void fillChart(bool thresholds = true);
    // Back from editing: chart refilled, view mode, edit flags cleared.
    void cancelEdits();

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void connectBar();
    void applyChannel();
    void rebuildItems();
    void continuousTick();
    void startContinuous();
    void stopContinuous();
    void showIdleBar();

    CChartWnd* m_chart = nullptr;
    QPointer<CGraphCommandBar> m_bar;
    GraphTuning* m_tuning = nullptr;
    CLegendDlg* m_legend = nullptr;
    LevelGraphFiles m_files{*this};
    QTimer m_timer;

    int m_channel = 0;
    int m_previousChannel = -1;
    int m_beamTotal = 0;
    int m_visible = 0;
    bool m_ratio = true;
    int m_scaleStep = kInitialScaleStep;
    int m_interval = 0;
    bool m_running = false;
    bool m_single = false;
    bool m_loadedOnce = false;
    bool m_shownOnce = false;
};

}  // namespace qavix
