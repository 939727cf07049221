#include "monitor/CView002.h"

#include <QVBoxLayout>

#include "files/TextFile.h"
#include "model/PageEditState.h"
#include "monitor/DisplayColours.h"
#include "monitor/LevelCsv.h"
#include "pages/PageRegistry.h"

namespace qavix {

namespace {

using levels::Operation;

constexpr int kMinimumIntervalMs = 10;

Operation levelsOnly(bool ratio) {
    return ratio ? Operation::LevelsRatio : Operation::LevelsAbsolute;
}

Operation refresh(bool ratio) {
    return ratio ? Operation::RefreshRatio : Operation::RefreshAbsolute;
}

Operation display(bool ratio) {
    return ratio ? Operation::RatioDisplay : Operation::AbsoluteDisplay;
}

}  // namespace

CView002::CView002(const PageContext& pageContext, QWidget* parent)
    : PageBase("CView002", pageContext, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_chart = new CChartWnd(state(), this);
    layout->addWidget(m_chart);
    m_bar = new CGraphCommandBar;
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CView002::continuousTick);
    connect(m_chart, &CChartWnd::thresholdsEdited, this, [this] {
        if (auto* bar = context().registry ? context().registry->commandBar() : nullptr) {
            bar->setWriteCancelEnabled(true);
        }
    });
    connectBar();
    showIdleBar();
    if (context().registry) {
        context().registry->add(kPageIndex, this);
    }
}

CView002::~CView002() {
    m_timer.stop();
    if (context().registry) {
        context().registry->remove(this);
    }
    if (m_bar && m_bar->parent() == nullptr) {
        delete m_bar;
    }
    delete m_legend;
}

void CView002::connectBar() {
    CGraphCommandBar* b = m_bar;
    connect(b->continuousButton(), &QToolButton::clicked, this, &CView002::toggleContinuous);
    connect(b->updateButton(), &QToolButton::clicked, this, &CView002::updateOnce);
    connect(b->saveButton(), &QToolButton::clicked, this, [this] { saveCsv(); });
    connect(b->imageButton(), &QToolButton::clicked, this, [this] { saveImage(); });
    connect(b->legendButton(), &QToolButton::clicked, this, &CView002::showLegend);
    connect(b->ratioButton(), &QRadioButton::clicked, this, [this] { setDisplayMode(true); });
    connect(b->absoluteButton(), &QRadioButton::clicked, this, [this] { setDisplayMode(false); });
    connect(b->scaleCombo(), qOverload<int>(&QComboBox::activated), this, &CView002::setScaleIndex);
    connect(b->channelCombo(), qOverload<int>(&QComboBox::activated), this,
            &CView002::selectChannel);
    connect(b->visibleCombo(), qOverload<int>(&QComboBox::activated), this,
            [this](int index) { setVisibleBars(m_bar->visibleCombo()->itemText(index).toInt()); });
    const auto individual = [this] {
        if (m_tuning != nullptr) {
            m_tuning->individualSetting();
        }
    };
    connect(b->individualButton(), &QToolButton::clicked, this, individual);
    connect(b->sensitivityButton(), &QToolButton::clicked, this, individual);
    connect(b->batchButton(), &QToolButton::clicked, this, [this] {
        if (m_tuning != nullptr) {
            m_tuning->batchSetting();
        }
    });
}

void CView002::setTuning(GraphTuning* tuning) {
    m_tuning = tuning;
    if (!m_running) {
        showIdleBar();
    }
}

void CView002::showIdleBar() {
    m_bar->enableIdle(m_tuning != nullptr, m_ratio);
    m_bar->showRunning(false);
    m_bar->showRatio(m_ratio);
    // A sensor item's page shows that sensor alone.
    m_bar->channelCombo()->setEnabled(!m_single);
}

void CView002::applyCommandButtons() {
    if (m_running) {
        m_bar->enableRunning();
    } else {
        showIdleBar();
    }
}

void CView002::pageShown(const QString& /*title*/) {
    clearReload();
    // An import or bank copy is putting other data in place: the controller is busy with it,
    // and what the page would read is what is being replaced. The next showing reads.
    if (state().dataReplaced) {
        state().dataReplaced = false;
        return;
    }
    const SettingsData& set = working();
    std::array<int, kChannelCount> counts{};
    if (levels::connectedSensors(set) == 0) {
        if (m_chart->itemCount() == 0) {
            m_chart->buildItems(0, counts, kEmptyBars);
            m_chart->setVisibleBars(kEmptyBars);
        }
        return;
    }
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_channel = 0;
        state().lastShownChannel = 0;
        const QSignalBlocker block(m_bar->channelCombo());
        m_bar->channelCombo()->setCurrentIndex(0);
        rebuildItems();
    }
    m_single = false;
    m_chart->setWholeSensor(false);
    if (state().chartItemSelected && state().selectedChannel >= 1 &&
        state().selectedChannel <= levels::connectedSensors(set)) {
        m_single = true;
        m_chart->setWholeSensor(true);
        m_channel = state().selectedChannel - 1;
        {
            const QSignalBlocker block(m_bar->channelCombo());
            m_bar->channelCombo()->setCurrentIndex(m_channel);
        }
        rebuildItems();
        fullLoad();
    } else {
        m_ratio = m_bar->ratioButton()->isChecked();
        if (m_ratio) {
            m_chart->setScaleStep(m_scaleStep);
            m_chart->setPercentAxis(true);
        }
    }
    if (!m_loadedOnce) {
        fullLoad();
    } else if (runOperation(display(m_ratio))) {
        fillChart();
    }
    applyCommandButtons();
    m_chart->setViewMode();
    m_chart->setFocus();
}

void CView002::rebuildItems() {
    const SettingsData& set = working();
    std::array<int, kChannelCount> counts{};
    for (int s : levels::shownSensors(set, levels::kAllChannels)) {
        counts[static_cast<size_t>(s)] = set.channel(s).beamCount;
    }
    m_beamTotal = levels::beamTotal(set, m_channel);
    const std::vector<int> choices = visibleBeamChoices(m_beamTotal);
    m_bar->setVisibleChoices(choices);
    m_visible = choices.empty() ? 1 : choices.front();
    m_chart->buildItems(m_channel, counts, m_beamTotal);
    m_chart->setVisibleBars(m_visible);
    state().viewAxis = m_visible;
    m_previousChannel = m_channel;
}

bool CView002::runOperation(levels::Operation op) {
    return runReads(levels::operationReads(op, working(), choice()));
}

bool CView002::fullLoad() {
    openWait(false);
    m_loadedOnce = true;
    const bool ok = runOperation(Operation::FullLoad);
    if (ok) {
        if (m_single) {
            m_chart->setScaleStep(1);
            m_chart->setEditMode();
            m_chart->setPercentAxis(false);
            m_ratio = false;
        } else {
            m_chart->setScaleStep(m_scaleStep);
            m_chart->setPercentAxis(true);
            m_ratio = true;
        }
        m_bar->showRatio(m_ratio);
        showIdleBar();
        fillChart();
    }
    closeWait();
    return ok;
}

void CView002::fillChart(bool thresholds) {
    const SettingsData& set = working();
    m_chart->setTuningData(set);
    const std::vector<levels::BarView> bars = levels::barViews(set, choice(), m_ratio);
    const AppSettings& user = state().user;
    for (size_t i = 0; i < bars.size(); ++i) {
        const levels::BarView& v = bars[i];
        const int bar = static_cast<int>(i);
        m_chart->setValue(bar, v.value);
        m_chart->setColour(bar, barStateColour(user, v.state));
        m_chart->setBlankBackground(bar, v.blanked);
        if (thresholds) {
            m_chart->setThresholds(v.ref.sensor, v.ref.beam, v.thresholds);
        }
    }
    m_chart->refresh();
}

void CView002::applyChannel() {
    const SettingsData& set = working();
    m_channel = levels::channelOfComboIndex(m_bar->channelCombo()->currentIndex(), set);
    state().lastShownChannel = m_bar->channelCombo()->currentIndex();
    if (m_channel != m_previousChannel || m_beamTotal != levels::beamTotal(set, m_channel)) {
        rebuildItems();
    } else {
        const std::vector<int> choices = visibleBeamChoices(m_beamTotal);
        m_bar->setVisibleChoices(choices);
        setVisibleBars(choices.empty() ? 1 : choices.front());
    }
}

void CView002::selectChannel(int comboIndex) {
    {
        const QSignalBlocker block(m_bar->channelCombo());
        m_bar->channelCombo()->setCurrentIndex(comboIndex);
    }
    updateOnce();
}

void CView002::setVisibleBars(int count) {
    m_visible = std::clamp(count, 1, levels::kMaxBars);
    state().viewAxis = m_visible;
    {
        const QSignalBlocker block(m_bar->visibleCombo());
        const int index = m_bar->visibleCombo()->findText(QString::number(m_visible));
        if (index >= 0) {
            m_bar->visibleCombo()->setCurrentIndex(index);
        }
    }
    m_chart->setVisibleBars(m_visible);
}

void CView002::setScaleIndex(int index) {
    m_scaleStep = std::clamp(index + 1, chart::kMinScaleStep, chart::kMaxScaleStep);
    {
        const QSignalBlocker block(m_bar->scaleCombo());
        m_bar->scaleCombo()->setCurrentIndex(m_scaleStep - 1);
    }
    m_chart->setScaleStep(m_scaleStep);
}

void CView002::setDisplayMode(bool ratio) {
    if (ratio == m_ratio) {
        m_bar->showRatio(m_ratio);
        return;
    }
    m_ratio = ratio;
    m_bar->showRatio(ratio);
    m_bar->batchButton()->setEnabled(ratio && m_tuning != nullptr && !m_running);
    if (ratio) {
        m_chart->setScaleStep(m_scaleStep);
    }
    m_chart->setPercentAxis(ratio);
    // The thresholds of the new display are in the working set already; show them at once
    // and again after the fresh read.
    fillChart();
    if (runOperation(display(ratio))) {
        fillChart();
    }
}

void CView002::updateOnce() {
    if (m_running) {
        return;
    }
    m_bar->setAllEnabled(false);
    applyChannel();
    state().announceShownChannel(m_channel);
    if (runOperation(refresh(m_ratio)) && runOperation(levelsOnly(m_ratio))) {
        fillChart();
    }
    // Also after a failed read: the bar must not stay disabled.
    showIdleBar();
    if (auto* bar = context().registry ? context().registry->commandBar() : nullptr) {
        bar->setWriteCancelEnabled(false);
    }
    m_chart->setFocus();
}

void CView002::toggleContinuous() {
    if (m_running) {
        stopContinuous();
    } else {
        startContinuous();
    }
}

void CView002::startContinuous() {
    m_interval =
        std::max(context().refreshPeriodMs ? context().refreshPeriodMs() : 0, kMinimumIntervalMs);
    m_bar->showRunning(true);
    m_bar->enableRunning();
    applyChannel();
    state().announceShownChannel(m_channel);
    m_running = true;
    state().setContinuousMonitoring(true);
    if (context().setCommandsAllowed) {
        context().setCommandsAllowed(false);
    }
    const bool ok = runOperation(refresh(m_ratio));
    if (ok) {
        fillChart();
    }
    // The tree stays disabled for the whole run, but the link is told it is idle between
    // and during these reads, so a click on "停止" during a read is held and acted on when
    // the read ends instead of being dropped.
    state().setCommBusy(true);
    if (ok) {
        m_timer.start(m_interval);
    }
}

void CView002::continuousTick() {
    m_timer.stop();
    if (!m_running) {
        return;
    }
    state().announceShownChannel(m_channel);
    // The run manages the flag itself (see startContinuous).
    if (!runReads(levels::operationReads(levelsOnly(m_ratio), working(), choice()),
                  BusyFlag::LeaveAsIs)) {
        // Stops with the last values shown; "停止" stays until pressed.
        return;
    }
    fillChart(false);
    if (m_running) {
        m_timer.start(m_interval);
    }
}

void CView002::stopContinuous() {
    m_timer.stop();
    if (context().setCommandsAllowed) {
        context().setCommandsAllowed(true);
    }
    state().setCommBusy(false);
    m_running = false;
    state().setContinuousMonitoring(false);
    showIdleBar();
    if (auto* bar = context().registry ? context().registry->commandBar() : nullptr) {
        bar->setWriteCancelEnabled(false);
    }
}

void CView002::hideEvent(QHideEvent* event) {
    PageBase::hideEvent(event);
    m_chart->hideTooltip();
    closeWait();
    if (m_running) {
        stopContinuous();
    }
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
    m_timer.stop();
}

bool CView002::writePage() {
    return m_tuning != nullptr && m_tuning->writeThresholds();
}

void CView002::cancelPage() {
    cancelEdits();
    if (m_tuning != nullptr) {
        m_tuning->editsCancelled();
    }
}

void CView002::cancelEdits() {
    fillChart();
    m_chart->setViewMode();
    state().editInProgress = false;
    setPageEdited(working(), kPageEditedFlag, false);
    showIdleBar();
}

void CView002::showLegend() {
    CLegendDlg::showFor(m_legend, state().user, window());
}

bool CView002::saveCsv(const QString& given) {
    const QString path = m_files.csvPath(given);
    if (path.isEmpty()) {
        return false;
    }
    // Fresh absolute values of the shown sensors; a failed read is reported by the link and
    // the file then holds what the working set has.
    runReads(levels::absoluteSnapshotReads(working(), m_channel));
    const auto lines = levels::levelCsvLines(working(), levels::shownSensors(working(), m_channel));
    if (!textfile::writeLines(path.toStdString(), lines).ok) {
        showFileNotWritten(true);
        return false;
    }
    return true;
}

bool CView002::saveImage(const QString& given) {
    const QString path = m_files.imagePath(given);
    if (path.isEmpty()) {
        return false;
    }
    if (!LevelGraphFiles::writeImage(m_chart->renderImage(devicePixelRatioF()), path)) {
        showFileNotWritten(true);
        return false;
    }
    return true;
}

}  // namespace qavix
