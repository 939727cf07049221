#include "monitor/CView007.h"

#include <QVBoxLayout>

#include "model/PageEditState.h"
#include "monitor/DisplayColours.h"

namespace qavix {

namespace {

constexpr int kPickedLegendEntry = 3;

}  // namespace

CView007::CView007(const PageContext& context, QWidget* parent)
    : BeamPage("CView007", context, kPageIndex, kEditedBlankingChart, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_chart = new CChartWnd(state(), this);
    m_chart->setAccessibleName(tr("光軸選択グラフ"));
    layout->addWidget(m_chart);
    m_chart->setScaleStep(m_scaleStep);
    m_chart->setPercentAxis(true);
    m_chart->setDesignationMode();
    connect(m_chart, &CChartWnd::designationChanged, this, &CView007::takeChartPicks);
}

CView007::~CView007() {
    delete m_legend;
}

void CView007::rebuild() {
    const SettingsData& set = working();
    std::array<int, kChannelCount> counts{};
    for (int s : levels::shownSensors(set, levels::kAllChannels)) {
        counts[static_cast<size_t>(s)] = set.channel(s).beamCount;
    }
    const int bars = range().chartBars();
    m_chart->buildItems(range().channel(), counts, std::max(bars, 1));
    const std::vector<int> choices = visibleBeamChoices(bars);
    setVisibleBars(choices.empty() ? 1 : choices.front());
    m_chart->setDesignationMode();
}

void CView007::setVisibleBars(int count) {
    m_chart->setVisibleBars(std::clamp(count, 1, std::max(range().chartBars(), 1)));
    state().viewAxis = m_chart->visibleBars();
}

void CView007::redraw() {
    const SettingsData& set = working();
    const AppSettings& user = state().user;
    const QColor pickedColour = displayColour(user, kColorSpare);
    for (int bar = 0; bar < range().chartBars(); ++bar) {
        const std::optional<beams::BeamRef> ref = range().at(bar);
        if (!ref) {
            break;
        }
        const ChannelRecord& ch = set.channel(ref->sensor);
        const auto b = static_cast<size_t>(ref->beam);
        const int32_t value = chart::displayedLevel(
            ratioDisplay() ? ch.ratioLevel[b] : ch.absLevel[b], ratioDisplay());
        const chart::ThresholdPair t = levels::displayThresholds(
            set, levels::BeamRef{ref->sensor, ref->beam}, ratioDisplay(), false);
        const bool picked = picks().picked(*ref);
        m_chart->setValue(bar, value);
        m_chart->setThresholds(ref->sensor, ref->beam, t);
        m_chart->setDesignated(bar, picked);
        m_chart->setColour(
            bar, picked ? pickedColour
                        : barStateColour(user, chart::barState(value, t.on, t.off, false)));
        m_chart->setBlankBackground(bar, ch.fixAxis[b] != 0);
    }
    m_chart->refresh();
}

void CView007::takeChartPicks() {
    for (int bar = 0; bar < range().chartBars(); ++bar) {
        mutablePicks().set(range(), bar, m_chart->designated(bar));
    }
    markEdited();
}

void CView007::setDisplayMode(bool ratio) {
    if (ratio == ratioDisplay()) {
        return;
    }
    setRatioDisplay(ratio);
    if (ratio) {
        m_chart->setScaleStep(m_scaleStep);
    }
    m_chart->setPercentAxis(ratio);
    redraw();
    if (readDisplay()) {
        redraw();
    }
}

void CView007::setScaleStep(int step) {
    m_scaleStep = std::clamp(step, chart::kMinScaleStep, chart::kMaxScaleStep);
    m_chart->setScaleStep(m_scaleStep);
}

CLegendDlg* CView007::showLegend() {
    CLegendDlg* legend = CLegendDlg::showFor(m_legend, state().user, window());
    // Designated beams have no colour of their own but the pick colour; blanked beams keep
    // the one the graph page draws them in.
    if (table() == BeamFlagTable::Designated) {
        legend->setEntry(kPickedLegendEntry, tr("指定光軸"), kColorSpare);
    } else {
        legend->setEntry(kPickedLegendEntry, tr("ブランキング光軸"), kColorBlankBar);
    }
    return legend;
}

void CView007::hideEvent(QHideEvent* event) {
    BeamPage::hideEvent(event);
    m_chart->hideTooltip();
    if (m_legend != nullptr) {
        m_legend->close();
    }
}

}  // namespace qavix
