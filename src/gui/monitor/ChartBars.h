#pragma once
// What the level chart shows per bar: the beam behind it (one sensor, or every connected
// sensor one after another), its level, colour and marks, and each beam's threshold pair
// with what a drag on the percent axis needs.

#include <QColor>
#include <QString>
#include <array>
#include <vector>

#include "model/DeviceData.h"
#include "monitor/BarRules.h"
#include "monitor/ChartGeometry.h"

namespace qavix {

class ChartBars {
  public:
    struct Item {
        QString label;
        int value = 0;
        QColor colour;
        bool blankBackground = false;
        bool designated = false;
    };

    explicit ChartBars(chart::ThresholdPair initial);

    // `channel` 0..2 for one sensor, 3 for all; every item starts in `colour`.
    void build(int channel, const std::array<int, kChannelCount>& beamCounts, int itemCount,
               const QColor& colour);
    int channel() const { return m_channel; }
    int count() const { return static_cast<int>(m_items.size()); }
    // nullptr past the items.
    Item* item(int bar);
    const Item* item(int bar) const;

    // Sensor (0..2) and beam (0-based) of a bar; false past the items.
    bool beamOfBar(int bar, int& sensor, int& beam) const;
    QString beamLabel(int bar) const;

    chart::ThresholdPair thresholds(int sensor, int beam) const;
    void setThresholds(int sensor, int beam, chart::ThresholdPair t);
    chart::ThresholdPair barThresholds(int bar) const;
    void setTuningData(const SettingsData& set);
    // A beam's pair with its ON level moved to `on`, by the rules of the axis shown.
    chart::ThresholdPair movedTo(int sensor, int beam, int on, bool percent,
                                 bool wholeSensor) const;

  private:
    std::vector<Item> m_items;
    std::array<int, kChannelCount> m_beamCounts{};
    int m_channel = 0;
    std::array<std::array<chart::ThresholdPair, kMaxBeams>, kChannelCount> m_thresholds;
    std::array<BeamTable, kChannelCount> m_zero{};
    std::array<int32_t, kChannelCount> m_hys{};
};

}  // namespace qavix
