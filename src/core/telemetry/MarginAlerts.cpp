#include "telemetry/MarginAlerts.h"

#include <algorithm>

namespace qavix::telemetry {

SensorMargin sensorMargin(const std::vector<levels::BarView>& bars) {
    SensorMargin m;
    for (const levels::BarView& bar : bars) {
        if (bar.state == chart::BarState::Blanked) {
            continue;
        }
        if (bar.state == chart::BarState::Blocked) {
            m.anyBlocked = true;
            continue;
        }
        if (bar.thresholds.on <= 0) {
            continue;
        }
        const double percent = 100.0 * bar.value / bar.thresholds.on;
        if (!m.known || percent < m.percent) {
            m.known = true;
            m.percent = percent;
            m.beam = bar.ref.beam + 1;
        }
    }
    return m;
}

MarginAlerts::MarginAlerts(double warnPercent, int warnCount)
    : m_warnPercent(warnPercent), m_warnCount(std::max(warnCount, 1)) {}

bool MarginAlerts::alerting(int channel) const {
    return channel >= 1 && channel <= kChannelCount &&
           m_tracks[static_cast<size_t>(channel - 1)].alerting;
}

std::optional<MarginAlert> MarginAlerts::update(int channel, const SensorMargin& margin) {
    if (channel < 1 || channel > kChannelCount || !margin.known) {
        return std::nullopt;
    }
    Track& t = m_tracks[static_cast<size_t>(channel - 1)];
    const MarginAlert alert{MarginAlert::Kind::Low, channel, margin.beam, margin.percent};
    if (margin.percent < m_warnPercent) {
        t.ok = 0;
        t.low = std::min(t.low + 1, m_warnCount);
        if (t.low >= m_warnCount && !t.alerting) {
            t.alerting = true;
            return alert;
        }
        return std::nullopt;
    }
    if (margin.anyBlocked) {
        return std::nullopt;
    }
    t.low = 0;
    t.ok = std::min(t.ok + 1, m_warnCount);
    if (t.ok >= m_warnCount && t.alerting) {
        t.alerting = false;
        MarginAlert ok = alert;
        ok.kind = MarginAlert::Kind::Ok;
        return ok;
    }
    return std::nullopt;
}

}  // namespace qavix::telemetry
