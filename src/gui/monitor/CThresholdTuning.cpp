#include "monitor/CThresholdTuning.h"

#include <QTimer>

#include "comm/PageWrite.h"
#include "comm/Transactions.h"
#include "model/PageEditState.h"
#include "monitor/CBatchDlg.h"
#include "monitor/CView002.h"
#include "monitor/DisplayColours.h"
#include "monitor/LevelReading.h"
#include "pages/PageRegistry.h"

namespace qavix {

namespace {

const char* const kNoZeroPoint =
    QT_TRANSLATE_NOOP("qavix::CThresholdTuning",
                      "次の光軸はゼロ点レベルが0のため、比率でしきい値を設定できません。"
                      "これらの光軸のしきい値は変更しません。\n");

}  // namespace

CThresholdTuning::CThresholdTuning(const PageContext& context, CView002& page)
    : QObject(&page), m_context(context), m_page(page) {}

CThresholdTuning::~CThresholdTuning() = default;

CChartWnd& CThresholdTuning::chart() {
    return *m_page.chart();
}

const SettingsData& CThresholdTuning::working() const {
    return m_context.state.model().working();
}

std::vector<int> CThresholdTuning::sensors() const {
    return levels::shownSensors(working(), m_page.channel());
}

void CThresholdTuning::setEditing(bool on) {
    m_context.state.editInProgress = on;
    setPageEdited(m_context.state.model().working(), CView002::kPageEditedFlag, on);
}

void CThresholdTuning::individualSetting() {
    m_page.commandControls()->setAllEnabled(false);
    if (CommandBarButtons* bar = m_context.registry ? m_context.registry->commandBar() : nullptr) {
        // Only "取消し" leads out until the first drag enables "書込み".
        bar->setWriteCancelEnabled(true);
        bar->setWriteEnabled(false);
    }
    chart().setEditMode();
    chart().setFocus();
    setEditing(true);
}

std::vector<codec::PutRequest> CThresholdTuning::thresholdPuts(SettingsData& edited, bool ratio) {
    std::vector<codec::PutRequest> puts;
    for (int s : sensors()) {
        const int beams = std::clamp(edited.channel(s).beamCount, 0, kMaxBeams);
        if (m_page.singleChannel()) {
            for (codec::PutRequest& p :
                 tuning::channelThresholdPuts(edited, s, chart().thresholds(s, 0))) {
                puts.push_back(std::move(p));
            }
            continue;
        }
        std::vector<chart::ThresholdPair> pairs;
        for (int b = 0; b < beams; ++b) {
            pairs.push_back(chart().thresholds(s, b));
        }
        puts.push_back(tuning::beamThresholdPut(edited, s, pairs, ratio));
    }
    return puts;
}

bool CThresholdTuning::writeThresholds() {
    AppState& state = m_context.state;
    DeviceModel& model = state.model();
    const bool ratio = m_page.ratioDisplay();
    // The puts are made from a copy: a failed write leaves the working set as the
    // controller last reported it and the chart still holding the edits to retry.
    SettingsData edited = model.working();
    const std::vector<codec::PutRequest> puts = thresholdPuts(edited, ratio);
    state.setCommBusy(true);
    if (m_context.openWaitWindow) {
        m_context.openWaitWindow(true);
    }
    const PageWriteResult result =
        writePage(m_context.link, model, puts, kRequestTimeoutMs,
                  {journal::Operation::PageWrite, state.pageWrittenTitle});
    const bool ok = result.ok;
    if (ok) {
        for (int s : sensors()) {
            ChannelRecord& to = model.working().channel(s);
            const ChannelRecord& from = edited.channel(s);
            to.absOnTh = from.absOnTh;
            to.absOffTh = from.absOffTh;
            to.ratioOnTh = from.ratioOnTh;
            to.ratioOffTh = from.ratioOffTh;
        }
        chart().setViewMode();
        setEditing(false);
        // The read-back shows what the controller made of the values; a failed one leaves
        // the chart as written.
        if (result.target == WriteTarget::Controller &&
            m_page.runOperation(ratio ? levels::Operation::RatioDisplay
                                      : levels::Operation::AbsoluteDisplay)) {
            m_page.fillChart();
        }
    }
    if (m_context.closeWaitWindow) {
        m_context.closeWaitWindow();
    }
    state.setCommBusy(false);
    if (!ok) {
        if (CommandBarButtons* bar =
                m_context.registry ? m_context.registry->commandBar() : nullptr) {
            bar->setWriteCancelEnabled(true);
        }
        return false;
    }
    return true;
}

void CThresholdTuning::editsCancelled() {
    setEditing(false);
}

void CThresholdTuning::recolourShownBars() {
    CChartWnd& c = chart();
    const AppSettings& user = m_context.state.user;
    for (int bar = 0; bar < c.itemCount(); ++bar) {
        int sensor = 0;
        int beam = 0;
        if (!c.beamOfBar(bar, sensor, beam)) {
            continue;
        }
        const chart::ThresholdPair t = c.thresholds(sensor, beam);
        // A blanked beam keeps its colour; only the level against the thresholds changes.
        if (c.blankBackground(bar) &&
            levels::blankingInForce(working(), sensor, m_page.singleChannel())) {
            continue;
        }
        c.setColour(bar, barStateColour(user, chart::barState(c.value(bar), t.on, t.off, false)));
    }
}

void CThresholdTuning::preview(int percent, bool onReference) {
    const SettingsData& set = working();
    CChartWnd& c = chart();
    for (int s : sensors()) {
        const ChannelRecord& ch = set.channel(s);
        const int beams = std::clamp(ch.beamCount, 0, kMaxBeams);
        for (int b = 0; b < beams; ++b) {
            const auto k = static_cast<size_t>(b);
            c.setThresholds(s, b,
                            chart::ratioRule(c.thresholds(s, b), ch.zero[k], ch.hys, percent,
                                             onReference, !c.percentAxis()));
        }
    }
    recolourShownBars();
    c.refresh();
    const auto missing = tuning::beamsWithoutZeroPoint(set, sensors());
    if (!missing.empty() && !m_zeroWarned) {
        m_zeroWarned = true;
        m_context.messages.showMessage(tr(kNoZeroPoint).toStdString() + tuning::beamList(missing));
    }
}

void CThresholdTuning::restorePreview() {
    m_page.fillChart();
}

void CThresholdTuning::teach(tuning::TeachMode mode, bool onReference, int percent) {
    AppState& state = m_context.state;
    state.setCommBusy(true);
    if (m_context.openWaitWindow) {
        m_context.openWaitWindow(true);
    }
    Transactions transactions(m_context.link, state.model());
    const std::vector<int> shown = sensors();
    // The controller reports the outcome through its thresholds, read again below.
    if (mode != tuning::TeachMode::Ratio) {
        for (int s : shown) {
            transactions.zeroReset(s + 1);
        }
    }
    for (int s : shown) {
        switch (mode) {
            case tuning::TeachMode::ZeroReset:
                break;
            case tuning::TeachMode::IncidentMax:
                transactions.teachRatio(s + 1, 0, tuning::kIncidentMaxPercent);
                break;
            case tuning::TeachMode::BlockedMax:
                transactions.teachRatio(s + 1, 1, tuning::kBlockedMaxPercent);
                break;
            case tuning::TeachMode::Ratio:
                // The batch dialog's own setting: a ratio of the reference level.
                transactions.teachRatio(
                    s + 1, onReference ? 1 : 0, percent,
                    {journal::Operation::BatchThreshold,
                     "CH" + std::to_string(s + 1) + " " + std::to_string(percent) + "%"});
                break;
        }
    }
    if (m_context.closeWaitWindow) {
        m_context.closeWaitWindow();
    }
    m_page.fullLoad();
    state.setCommBusy(false);
}

bool CThresholdTuning::reloadThresholds() {
    AppState& state = m_context.state;
    state.setCommBusy(true);
    bool ok = true;
    for (const PageRead& r : levels::thresholdReads(working())) {
        if (m_context.link.request(r.code, r.arg1, r.start, r.count, r.timeoutMs) != kRequestOk) {
            ok = false;
            break;
        }
    }
    if (ok) {
        m_page.setDisplayMode(true);
        m_page.fillChart();
    }
    state.setCommBusy(false);
    return ok;
}

void CThresholdTuning::batchSetting() {
    if (m_batch != nullptr || !m_page.ratioDisplay()) {
        return;
    }
    m_zeroWarned = false;
    CBatchDlg dialog(*this, &m_page);
    m_batch = &dialog;
    if (m_driver) {
        QTimer::singleShot(0, &dialog, [this, &dialog] { m_driver(dialog); });
    }
    const int result = dialog.exec();
    m_batch = nullptr;
    if (result == CBatchDlg::Closed) {
        reloadThresholds();
    }
}

}  // namespace qavix
