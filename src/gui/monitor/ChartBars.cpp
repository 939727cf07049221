#include "monitor/ChartBars.h"

#include <algorithm>

namespace qavix {

namespace {

size_t at(int i) {
    return static_cast<size_t>(i);
}

}  // namespace

ChartBars::ChartBars(chart::ThresholdPair initial) {
    for (auto& sensor : m_thresholds) {
        sensor.fill(initial);
    }
}

void ChartBars::build(int channel, const std::array<int, kChannelCount>& beamCounts, int itemCount,
                      const QColor& colour) {
    m_channel = channel;
    m_beamCounts = beamCounts;
    m_items.assign(at(std::max(itemCount, 0)), Item{});
    for (int bar = 0; bar < count(); ++bar) {
        Item& item = m_items[at(bar)];
        int sensor = 0;
        int beam = bar;
        beamOfBar(bar, sensor, beam);
        item.label = QString::number(beam + 1);
        item.colour = colour;
    }
}

ChartBars::Item* ChartBars::item(int bar) {
    return bar >= 0 && bar < count() ? &m_items[at(bar)] : nullptr;
}

const ChartBars::Item* ChartBars::item(int bar) const {
    return bar >= 0 && bar < count() ? &m_items[at(bar)] : nullptr;
}

bool ChartBars::beamOfBar(int bar, int& sensor, int& beam) const {
    if (bar < 0 || bar >= count()) {
        return false;
    }
    if (m_channel < kChannelCount) {
        sensor = std::max(m_channel, 0);
        beam = bar;
        return bar < kMaxBeams;
    }
    int first = 0;
    for (int s = 0; s < kChannelCount; ++s) {
        const int beams = std::clamp(m_beamCounts[at(s)], 0, kMaxBeams);
        if (bar < first + beams) {
            sensor = s;
            beam = bar - first;
            return true;
        }
        first += beams;
    }
    return false;
}

QString ChartBars::beamLabel(int bar) const {
    int sensor = 0;
    int beam = 0;
    if (!beamOfBar(bar, sensor, beam)) {
        return QString();
    }
    return QString("CH%1-%2").arg(sensor + 1).arg(m_items[at(bar)].label);
}

chart::ThresholdPair ChartBars::thresholds(int sensor, int beam) const {
    return m_thresholds.at(at(sensor)).at(at(beam));
}

void ChartBars::setThresholds(int sensor, int beam, chart::ThresholdPair t) {
    m_thresholds.at(at(sensor)).at(at(beam)) = t;
}

chart::ThresholdPair ChartBars::barThresholds(int bar) const {
    int sensor = 0;
    int beam = 0;
    return beamOfBar(bar, sensor, beam) ? thresholds(sensor, beam) : chart::ThresholdPair{};
}

void ChartBars::setTuningData(const SettingsData& set) {
    for (int s = 0; s < kChannelCount; ++s) {
        m_zero[at(s)] = set.channel(s).zero;
        m_hys[at(s)] = set.channel(s).hys;
    }
}

chart::ThresholdPair ChartBars::movedTo(int sensor, int beam, int on, bool percent,
                                        bool wholeSensor) const {
    const chart::ThresholdPair now = thresholds(sensor, beam);
    return percent
               ? chart::ratioRule(now, m_zero[at(sensor)][at(beam)], m_hys[at(sensor)], on, true)
               : chart::dragAbsolute(now, on, wholeSensor);
}

}  // namespace qavix
