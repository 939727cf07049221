#include "monitor/CView004.h"

#include <QHideEvent>
#include <QVBoxLayout>

#include "model/ScanIntervals.h"

namespace qavix {

namespace {

constexpr int kMargin = 6;
// The counters under the chart change with every sample; redrawing them at the sampling
// rate would cost more than the chart's own column. (They only repaint their line: the
// window is not laid out again for them.)
constexpr auto kStatusRefresh = std::chrono::milliseconds(250);

QColor colorOf(ColorValue c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

}  // namespace

CView004::CView004(const PageContext& context, int readTimeoutMs, QWidget* parent)
    : PageBase("CView004", context, parent), m_reader(context.link.api(), readTimeoutMs) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    m_chart = new ScanChart(this);
    layout->addWidget(m_chart, 1);
    m_status = new CounterLine(this);
    m_status->setObjectName("scanStatus");
    layout->addWidget(m_status);
    applyColors();
    connect(&state(), &AppState::userSettingsChanged, this, &CView004::applyColors);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CView004::tick);
    showStatus();
}

CView004::~CView004() {
    // The window closes with sampling running only when the program ends at once; the worker
    // is stopped by then, so only this side's state is put back.
    m_timer.stop();
    m_priority.restore();
}

void CView004::applyColors() {
    const AppSettings& user = state().user;
    m_chart->setColors(colorOf(user.colors[kColorScanOn]), colorOf(user.colors[kColorScanOff]));
}

CView004::Clock::time_point CView004::now() const {
    return context().now ? context().now() : Clock::now();
}

void CView004::setChannel(int channel, int rowsShown, int samplesShown) {
    m_channel = channel;
    m_chart->reset(scan::ScanRows(working(), channel), rowsShown, samplesShown);
    showStatus();
}

void CView004::clear(int rowsShown, int samplesShown) {
    setChannel(m_channel, rowsShown, samplesShown);
}

void CView004::applyShown(int rowsShown, int samplesShown) {
    m_chart->setShown(rowsShown, samplesShown);
}

void CView004::start(int intervalMs) {
    if (m_running) {
        return;
    }
    // The library takes one caller at a time: the worker must be idle before this thread
    // calls it. A refused hold means the connection is gone and the program is ending.
    if (link().suspendPolling() != kRequestOk || link().programEnding()) {
        return;
    }
    m_running = true;
    m_inFlight = false;
    m_range = scan::scanRange(m_channel, working().general.jointNum);
    m_chart->setRunning(true);
    m_chart->setFocus();
    state().announceShownChannel(m_channel);
    if (context().setCommandsAllowed) {
        context().setCommandsAllowed(false);
    }
    m_priority.raise();
    m_reader.resetFailures();
    state().setContinuousMonitoring(true);
    m_ticks[0] = m_ticks[1] = now();
    // A precise repeating timer keeps its period whatever the handler takes, so the period
    // is the interval itself: a period shortened to make up for the read would sample
    // faster than chosen (every 15 ms at "25ms"). A read that overruns makes the timer skip,
    // not queue up.
    m_timer.start(intervalMs);
    emit runningChanged(true);
}

void CView004::stop() {
    if (!m_running) {
        return;
    }
    m_running = false;
    m_inFlight = false;
    m_timer.stop();
    m_chart->setRunning(false);
    if (context().setCommandsAllowed) {
        context().setCommandsAllowed(true);
    }
    m_priority.restore();
    state().setContinuousMonitoring(false);
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
    showStatus();
    // The page shows it has stopped before the polling resumes: the status check that comes
    // with it may find the line gone, and its message must not stand over "STOP".
    emit runningChanged(false);
    m_lineAnswered = link().resumePolling() == kRequestOk && !link().programEnding();
}

void CView004::tick() {
    if (!m_running) {
        m_timer.stop();
        return;
    }
    const Clock::time_point t = now();
    m_ticks[m_tickParity] = t;
    m_measuredMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(t - m_ticks[1 - m_tickParity])
            .count();
    m_tickParity = 1 - m_tickParity;
    // A late timer message while a read waits for its answer must not start a second one.
    if (m_inFlight) {
        return;
    }
    m_inFlight = true;
    const auto readStart = std::chrono::steady_clock::now();
    const scan::SampleOutcome outcome = m_reader.sample(m_range, working());
    m_readMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - readStart)
                   .count();
    if (outcome == scan::SampleOutcome::Taken) {
        m_chart->appendSample(working());
    }
    m_inFlight = false;
    if (outcome == scan::SampleOutcome::Stop) {
        stop();
        return;
    }
    if (outcome == scan::SampleOutcome::Silent) {
        // The status check of the resumed polling says whether the line is gone, as on the
        // other pages; a controller that answers it only lost one sample, and sampling
        // goes on (unless the page was left meanwhile).
        const int interval = m_timer.interval();
        const int hidesBefore = m_hides;
        stop();
        if (m_lineAnswered && m_hides == hidesBefore) {
            start(interval);
        }
        return;
    }
    if (t - m_statusShown >= kStatusRefresh || t < m_statusShown) {
        showStatus();
    }
}

void CView004::showStatus() {
    m_statusShown = now();
    const scan::ScanHistory& h = m_chart->history();
    QString text = tr("サンプル数：%1　周回：%2").arg(h.samplesTaken()).arg(h.wraps());
    if (m_measuredMs > 0) {
        text += tr("　実測間隔：%1ms　読込み時間：%2ms").arg(m_measuredMs).arg(m_readMs);
    }
    m_status->setText(text);
}

void CView004::hideEvent(QHideEvent* event) {
    PageBase::hideEvent(event);
    // The tree keeps the page while sampling runs; should it be hidden anyway (the window
    // closing), the line must not stay held. A minimised window is hidden by the window
    // system only, and sampling goes on.
    if (!event->spontaneous()) {
        ++m_hides;
        stop();
    }
}

}  // namespace qavix
