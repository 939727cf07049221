#include "monitor/ChartGestures.h"

#include <algorithm>
#include <cmath>

#include "monitor/CChartWnd.h"

namespace qavix {

namespace {

size_t at(int i) {
    return static_cast<size_t>(i);
}

}  // namespace

void ChartPointer::clearSelection() {
    selected = BeamFlags{};
    finishedSelection = false;
    rubberActive = false;
    rubber = QRect();
}

void ChartPointer::markSelected() {
    for (size_t s = 0; s < marked.size(); ++s) {
        for (size_t b = 0; b < marked[s].size(); ++b) {
            marked[s][b] = marked[s][b] || selected[s][b];
        }
    }
}

bool ChartPointer::anySelected() const {
    return std::any_of(selected.begin(), selected.end(), [](const auto& sensor) {
        return std::find(sensor.begin(), sensor.end(), true) != sensor.end();
    });
}

void ChartGesture::dragTo(int y, const std::vector<int>& bars) {
    if (bars.empty()) {
        return;
    }
    const double target = chart::yToValue(m_chart.frame(), y) - m_p.grabOffset;
    const int delta =
        static_cast<int>(std::lround(target)) - m_chart.barThresholds(bars.front()).on;
    if (delta != 0) {
        m_chart.shiftThresholds(bars, delta);
    }
}

std::vector<int> ChartGesture::selectedBars() const {
    std::vector<int> bars;
    for (int bar = 0; bar < m_chart.itemCount(); ++bar) {
        int sensor = 0;
        int beam = 0;
        if (m_chart.beamOfBar(bar, sensor, beam) && m_p.selected[at(sensor)][at(beam)]) {
            bars.push_back(bar);
        }
    }
    return bars;
}

void BeamDrag::move(const QPoint& pos) {
    if (m_p.pressedBar >= 0) {
        dragTo(pos.y(), {m_p.pressedBar});
    }
}

bool BeamDrag::release() {
    int sensor = 0;
    int beam = 0;
    if (m_chart.beamOfBar(m_p.pressedBar, sensor, beam)) {
        m_p.marked[at(sensor)][at(beam)] = true;
    }
    return false;
}

void SelectionGesture::press(const QPoint& pos, std::optional<int> bandBar) {
    if (!bandBar) {
        m_p.rubberActive = true;
        m_p.rubber = QRect(pos, pos);
    }
}

void SelectionGesture::move(const QPoint& pos) {
    if (m_p.rubberActive) {
        m_p.rubber.setBottomRight(pos);
        selectInBand();
    } else if (m_p.pressedBar >= 0) {
        dragTo(pos.y(), selectedBars());
    }
}

bool SelectionGesture::release() {
    if (m_p.rubberActive) {
        m_p.rubberActive = false;
        m_p.rubber = QRect();
        m_p.finishedSelection = m_p.anySelected();
    } else {
        m_p.markSelected();
        m_p.clearSelection();
    }
    return false;
}

void SelectionGesture::selectInBand() {
    // A beam is in the band when the band touches its bar or either of its threshold lines.
    const chart::ChartFrame f = m_chart.frame();
    const QRect band = m_p.rubber.normalized();
    m_p.selected = BeamFlags{};
    const int base = chart::baseline(f);
    for (int k = 0; k < chart::barsOnScreen(f); ++k) {
        const int bar = m_chart.firstVisible() + k;
        int sensor = 0;
        int beam = 0;
        if (!m_chart.beamOfBar(bar, sensor, beam)) {
            continue;
        }
        const chart::BarSpan span = chart::barSpan(f, k);
        const chart::ThresholdPair t = m_chart.thresholds(sensor, beam);
        const int top = std::min({chart::valueToY(f, m_chart.value(bar)), chart::valueToY(f, t.on),
                                  chart::valueToY(f, t.off)});
        const QRect rect(QPoint(span.left, top), QPoint(span.right - 1, base));
        m_p.selected[at(sensor)][at(beam)] = rect.intersects(band);
    }
}

void WholeSensorDrag::press(const QPoint&, std::optional<int> bandBar) {
    for (int bar = 0; bar < m_chart.itemCount(); ++bar) {
        int sensor = 0;
        int beam = 0;
        if (m_chart.beamOfBar(bar, sensor, beam)) {
            m_p.selected[at(sensor)][at(beam)] = bandBar.has_value();
        }
    }
}

void WholeSensorDrag::move(const QPoint& pos) {
    if (m_p.pressedBar >= 0) {
        dragTo(pos.y(), selectedBars());
    }
}

bool WholeSensorDrag::release() {
    m_p.markSelected();
    return true;
}

}  // namespace qavix
