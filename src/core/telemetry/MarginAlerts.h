#pragma once
// Lens dirt and misalignment show as a slow fall of received light long before a beam
// trips the curtain. A sensor's margin is the lowest level / ON threshold among its beams
// that receive light; an alert is raised when it stays under a limit for some cycles and
// cleared when it stays at or above it as long: one message per change, not per cycle.

#include <array>
#include <optional>
#include <vector>

#include "model/DeviceData.h"
#include "monitor/LevelReading.h"

namespace qavix::telemetry {

constexpr double kDefaultWarnMarginPercent = 130.0;
constexpr int kDefaultWarnCount = 3;

struct SensorMargin {
    bool known = false;       // at least one beam receives light and has an ON threshold
    int beam = 0;             // 1-based beam of the lowest margin
    double percent = 0.0;     // its level / ON threshold, in percent
    bool anyBlocked = false;  // a beam below its OFF threshold (an object, or a tripped beam)
};

// Over the bars of one sensor (ratio display). Blanked beams are expected to be dark and
// blocked ones are interrupted, so neither counts; a beam without an ON threshold has no
// margin.
SensorMargin sensorMargin(const std::vector<levels::BarView>& bars);

struct MarginAlert {
    enum class Kind { Low, Ok };
    Kind kind = Kind::Low;
    int channel = 0;  // 1-based
    int beam = 0;     // 1-based
    double percent = 0.0;
};

class MarginAlerts {
  public:
    explicit MarginAlerts(double warnPercent = kDefaultWarnMarginPercent,
                          int warnCount = kDefaultWarnCount);

    // One cycle's margin of sensor `channel` (1-based). A margin under the limit counts
    // toward an alert; one at or above it counts toward recovery, but only while no beam is
    // blocked: a tripped beam may be the dirtiest one, so the sensor is not called well then.
    // A cycle that counts neither way (nothing known, a beam blocked) leaves the streaks.
    std::optional<MarginAlert> update(int channel, const SensorMargin& margin);

    bool alerting(int channel) const;
    double warnPercent() const { return m_warnPercent; }
    int warnCount() const { return m_warnCount; }

  private:
    struct Track {
        bool alerting = false;
        int low = 0;
        int ok = 0;
    };

    double m_warnPercent;
    int m_warnCount;
    std::array<Track, kChannelCount> m_tracks{};
};

}  // namespace qavix::telemetry
