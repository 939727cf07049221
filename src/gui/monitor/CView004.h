#pragma once
// The scan monitor page (page 6): samples the beam states of one sensor or of all sensors at
// a fixed interval and draws them as a time chart. Each sample is read straight from the link
// library on this thread while the worker's polling is held, because the worker's hand-off
// costs more than the shortest interval leaves.

#include <QTimer>
#include <chrono>

#include "comm/ScanReader.h"
#include "comm/ThreadPriority.h"
#include "monitor/ScanChart.h"
#include "pages/PageBase.h"
#include "pages/PageIndex.h"
#include "widgets/CounterLine.h"

namespace qavix {

class CView004 : public PageBase {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPageScanMonitor;

    // `readTimeoutMs`: the time-out handed to the library for each sample read.
    explicit CView004(const PageContext& context, int readTimeoutMs = kRequestTimeoutMs,
                      QWidget* parent = nullptr);
    ~CView004() override;

    // What the command bar asks of the page.
    void start(int intervalMs);
    void stop();
    // Another channel (0..2, kAllChannels): the chart starts empty with its rows.
    void setChannel(int channel, int rowsShown, int samplesShown);
    // "クリア": an empty chart, both counters 0.
    void clear(int rowsShown, int samplesShown);
    void applyShown(int rowsShown, int samplesShown);

    // One firing of the sampling timer (the timer calls it; so may a test).
    void tick();

    bool running() const { return m_running; }
    int channel() const { return m_channel; }
    int timerPeriodMs() const { return m_timer.interval(); }
    bool timerActive() const { return m_timer.isActive(); }
    bool priorityRaised() const { return m_priority.raised(); }
    ScanChart* chart() const { return m_chart; }
    QString statusText() const { return m_status->text(); }

  signals:
    void runningChanged(bool running);

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    using Clock = std::chrono::system_clock;
    Clock::time_point now() const;
    void showStatus();
    void applyColors();

    ScanChart* m_chart = nullptr;
    CounterLine* m_status = nullptr;
    QTimer m_timer;
    scan::ScanReader m_reader;
    scan::ScanRange m_range;
    ThreadPriorityBoost m_priority;
    int m_channel = 0;
    bool m_running = false;
    bool m_inFlight = false;
    // The status check after the last stop found the controller answering.
    bool m_lineAnswered = true;
    // Counts the times the page was left, so that a status check the page was left during
    // does not start sampling again behind it.
    int m_hides = 0;
    // The last two tick times and their difference, and how long the last read took.
    Clock::time_point m_ticks[2];
    int m_tickParity = 0;
    long long m_measuredMs = 0;
    long long m_readMs = 0;
    Clock::time_point m_statusShown;
};

}  // namespace qavix
