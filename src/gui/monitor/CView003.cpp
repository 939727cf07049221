#include "monitor/CView003.h"

#include <QHBoxLayout>
#include <ctime>

#include "comm/PageWrite.h"
#include "files/TextFile.h"
#include "model/PageEditState.h"
#include "monitor/DisplayColours.h"
#include "monitor/LevelCsv.h"
#include "monitor/LevelListDelegate.h"
#include "monitor/LevelReading.h"
#include "monitor/ThresholdList.h"
#include "pages/SaveFileDialog.h"

namespace qavix {

namespace {

constexpr int kMinimumIntervalMs = 10;

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace

CView003::CView003(const PageContext& pageContext, QWidget* parent)
    : PageBase("CView003", pageContext, parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new CLevelListTable(this);
    m_list->setItemDelegate(new LevelListDelegate(*this, m_list));
    layout->addWidget(m_list);

    m_bar = new CLevelListBar;
    connect(m_bar->updateButton(), &QToolButton::clicked, this, &CView003::updateOnce);
    connect(m_bar->continuousButton(), &QToolButton::clicked, this, &CView003::toggleContinuous);
    connect(m_bar->channelCombo(), qOverload<int>(&QComboBox::activated), this,
            &CView003::selectChannel);
    connect(m_bar->writeButton(), &QToolButton::clicked, this, &CView003::write);
    connect(m_bar->cancelButton(), &QToolButton::clicked, this, &CView003::cancel);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CView003::tick);
    stopContinuous();
}

CView003::~CView003() {
    m_timer.stop();
    if (m_bar && m_bar->parent() == nullptr) {
        delete m_bar;
    }
}

void CView003::resizeEvent(QResizeEvent* event) {
    PageBase::resizeEvent(event);
    m_list->applyColumnWidths();
}

std::vector<int> CView003::listedSensors() const {
    return levels::shownSensors(working(), m_channel);
}

chart::ThresholdPair CView003::shown(int sensor, int beam) const {
    return m_shown.at(static_cast<size_t>(sensor)).at(static_cast<size_t>(beam));
}

void CView003::pageShown(const QString& /*title*/) {
    m_channelMode = state().chartItemSelected;
    m_bar->setWriteText(writeButtonText(state().model().selectedSet()));
    const int comboIndex = std::clamp(state().lastShownChannel, 0, kChannelCount);
    {
        const QSignalBlocker block(m_bar->channelCombo());
        m_bar->channelCombo()->setCurrentIndex(comboIndex);
    }
    m_channel = levels::channelOfComboIndex(comboIndex, working());
    if (!pageEdited(working(), kPageEditedFlag)) {
        reloadList();
    }
    refreshLevels();
    stopContinuous();
    m_list->applyColumnWidths();
    m_list->setFocus();
}

void CView003::reloadList() {
    openWait(false);
    if (fullRead()) {
        deriveShown();
    }
    closeWait();
    fillList();
}

bool CView003::fullRead() {
    // With a bank selected the link answers the threshold reads from the bank and only the
    // levels from the controller.
    return runReads(thlist::fullReads(working(), m_channelMode));
}

void CView003::deriveShown() {
    const SettingsData& set = working();
    for (int s : levels::shownSensors(set, levels::kAllChannels)) {
        for (int b = 0; b < std::clamp(set.channel(s).beamCount, 0, kMaxBeams); ++b) {
            m_shown[static_cast<size_t>(s)][static_cast<size_t>(b)] =
                thlist::derivedPair(set, s, b, m_channelMode);
        }
    }
}

void CView003::fillList() {
    m_filling = true;
    m_rows.clear();
    std::vector<CLevelListTable::BeamLabel> labels;
    const SettingsData& set = working();
    for (int s : listedSensors()) {
        for (int b = 0; b < std::clamp(set.channel(s).beamCount, 0, kMaxBeams); ++b) {
            m_rows.push_back(RowRef{s, b});
            labels.push_back({thlist::shownRowLabel(s, b), thlist::rowLabel(s, b)});
        }
    }
    m_list->setRows(labels);
    for (int row = 0; row < m_list->rowCount(); ++row) {
        showPair(row);
    }
    m_filling = false;
    m_list->applyColumnWidths();
}

void CView003::showPair(int row, bool offTyped) {
    const RowRef& r = m_rows.at(static_cast<size_t>(row));
    const thlist::CellTexts texts = thlist::cellTexts(shown(r.sensor, r.beam), offTyped);
    m_list->showPair(row, texts.on, texts.off);
}

bool CView003::refreshLevels() {
    if (!runReads(thlist::levelReads(working(), m_channel))) {
        return false;
    }
    const SettingsData& set = working();
    const AppSettings& user = state().user;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const RowRef& r = m_rows[static_cast<size_t>(row)];
        const ChannelRecord& ch = set.channel(r.sensor);
        const auto k = static_cast<size_t>(r.beam);
        const int level = chart::displayedLevel(ch.absLevel[k], false);
        const chart::ThresholdPair t = shown(r.sensor, r.beam);
        const bool blanked =
            ch.fixAxis[k] != 0 && levels::blankingInForce(set, r.sensor, m_channelMode);
        m_list->showLevel(row, level,
                          barStateColour(user, chart::barState(level, t.on, t.off, blanked)));
    }
    return true;
}

bool CView003::typeCell(int row, int column, const QString& text) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) ||
        (column != CLevelListTable::kOnColumn && column != CLevelListTable::kOffColumn)) {
        return false;
    }
    bool ok = false;
    const int typed = text.trimmed().toInt(&ok);
    const RowRef& r = m_rows[static_cast<size_t>(row)];
    const chart::ThresholdPair now = shown(r.sensor, r.beam);
    const auto next = ok ? thlist::typedThreshold(now, column == CLevelListTable::kOnColumn, typed,
                                                  working().channel(r.sensor).hys)
                         : std::nullopt;
    if (!next) {
        // The cells keep their texts: the editor never writes into them.
        return false;
    }
    const bool offTyped = column == CLevelListTable::kOffColumn;
    if (m_channelMode) {
        // One pair per sensor: every row of the sensor shows it.
        m_shown[static_cast<size_t>(r.sensor)].fill(*next);
        for (int i = 0; i < m_list->rowCount(); ++i) {
            if (m_rows[static_cast<size_t>(i)].sensor == r.sensor) {
                showPair(i, offTyped && i == row);
            }
        }
    } else {
        m_shown[static_cast<size_t>(r.sensor)][static_cast<size_t>(r.beam)] = *next;
        showPair(row, offTyped);
    }
    updateEditedState();
    return true;
}

void CView003::editCell(int row, int column) {
    if (m_running || row < 0 || row >= m_list->rowCount()) {
        return;
    }
    QTableWidgetItem* item = m_list->item(row, column);
    if (item == nullptr || !(item->flags() & Qt::ItemIsEditable)) {
        return;
    }
    m_list->setCurrentItem(item);
    m_list->scrollToItem(item);
    m_list->editItem(item);
}

bool CView003::edited() const {
    const SettingsData& set = working();
    for (int s : levels::shownSensors(set, levels::kAllChannels)) {
        for (int b = 0; b < std::clamp(set.channel(s).beamCount, 0, kMaxBeams); ++b) {
            if (!(shown(s, b) == thlist::derivedPair(set, s, b, m_channelMode))) {
                return true;
            }
        }
    }
    return false;
}

void CView003::updateEditedState() {
    const bool changed = edited();
    setPageEdited(working(), kPageEditedFlag, changed);
    if (!m_running) {
        m_bar->showIdle(changed);
    }
}

void CView003::selectChannel(int comboIndex) {
    {
        const QSignalBlocker block(m_bar->channelCombo());
        m_bar->channelCombo()->setCurrentIndex(comboIndex);
    }
    m_channel = levels::channelOfComboIndex(comboIndex, working());
    state().lastShownChannel = comboIndex;
    setPageEdited(working(), kPageEditedFlag, false);
    reloadList();
    refreshLevels();
    m_bar->showIdle(false);
}

void CView003::updateOnce() {
    if (m_running) {
        return;
    }
    m_channel = levels::channelOfComboIndex(m_bar->channelCombo()->currentIndex(), working());
    refreshLevels();
}

void CView003::toggleContinuous() {
    if (m_running) {
        stopContinuous();
        return;
    }
    // An open cell editor closes first, so its number is judged now and not mid-run.
    m_list->setFocus();
    m_running = true;
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_bar->showRunning();
    state().setContinuousMonitoring(true);
    setCommBusy(true);
    tick();
}

void CView003::tick() {
    m_timer.stop();
    if (!m_running) {
        return;
    }
    if (!refreshLevels()) {
        // The last levels stay; "停止" stays until pressed.
        return;
    }
    if (m_running) {
        m_timer.start(std::max(context().refreshPeriodMs ? context().refreshPeriodMs() : 0,
                               kMinimumIntervalMs));
    }
}

void CView003::stopContinuous() {
    m_timer.stop();
    if (m_running) {
        state().setContinuousMonitoring(false);
    }
    m_running = false;
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
    m_list->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    if (m_bar) {
        m_bar->showIdle(pageEdited(working(), kPageEditedFlag));
    }
}

bool CView003::write() {
    DeviceModel& model = state().model();
    SettingsData edited = model.working();
    std::vector<std::vector<chart::ThresholdPair>> pairs;
    const std::vector<int> sensors = levels::shownSensors(edited, levels::kAllChannels);
    for (int s : sensors) {
        const int beams = std::clamp(edited.channel(s).beamCount, 0, kMaxBeams);
        pairs.emplace_back(m_shown[static_cast<size_t>(s)].begin(),
                           m_shown[static_cast<size_t>(s)].begin() + beams);
    }
    const std::vector<codec::PutRequest> puts =
        thlist::listPuts(edited, sensors, pairs, m_channelMode);
    setCommBusy(true);
    openWait(true);
    const bool ok = writePage(link(), model, puts, kRequestTimeoutMs,
                              {journal::Operation::PageWrite, state().pageWrittenTitle})
                        .ok;
    closeWait();
    setCommBusy(false);
    if (!ok) {
        // The edits stay for another try or "取消し".
        m_bar->showIdle(true);
        return false;
    }
    setPageEdited(working(), kPageEditedFlag, false);
    reloadList();
    refreshLevels();
    m_bar->showIdle(false);
    return true;
}

void CView003::cancel() {
    deriveShown();
    for (int row = 0; row < m_list->rowCount(); ++row) {
        showPair(row);
    }
    refreshLevels();
    updateEditedState();
}

void CView003::saveCsv() {
    const QString path = askSaveFile(
        this, SaveFileRequest{saveAsTitle(), csvFileFilters(), "csv",
                              QString::fromStdString(levels::defaultCsvName(localNow()))});
    if (!path.isEmpty()) {
        saveCsvTo(path);
    }
}

bool CView003::saveCsvTo(const QString& path) {
    const bool written =
        textfile::writeLines(path.toStdString(), thlist::listCsvLines(m_list->csvRows())).ok;
    if (!written) {
        showFileNotWritten(true);
    }
    return written;
}

void CView003::hideEvent(QHideEvent* event) {
    PageBase::hideEvent(event);
    if (m_running) {
        stopContinuous();
    }
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
    m_timer.stop();
}

}  // namespace qavix
