#pragma once
// The received-light graph's reads and what it shows from them: which sensors a channel
// choice covers, the requests of each read operation, the bar count and the visible-bar
// choices, and the value, thresholds and state of every bar.

#include <cstdint>
#include <vector>

#include "model/DeviceData.h"
#include "model/PageRequests.h"
#include "model/VisibleBeams.h"
#include "monitor/BarRules.h"

namespace qavix::levels {

// The channel value that stands for all connected sensors ("全CH"), and the bars a channel
// has: the rule every monitoring page shares.
using qavix::beamTotal;
using qavix::kAllChannels;
// The chart never holds more bars than one sensor can have.
constexpr int kMaxBars = kMaxBeams;
constexpr int kLevelReadTimeoutMs = kRequestTimeoutMs;

enum class Operation : int {
    FullLoad = 0,
    LevelsAbsolute = 1,
    LevelsRatio = 2,
    AbsoluteDisplay = 3,
    RatioDisplay = 4,
    RefreshAbsolute = 5,
    RefreshRatio = 6,
};

// What the page has chosen: channel 0..2, or kAllChannels.
struct GraphChoice {
    int channel = 0;
    bool singleChannel = false;  // opened from a sensor item: channel thresholds ON_TH/OFF_TH
};

// Sensors reported connected (JOINT_NUM), 0..3.
int connectedSensors(const SettingsData& set);
// The combo index "CH1".."CH3", "全CH": an index past the connected sensors means all.
int channelOfComboIndex(int index, const SettingsData& set);
// The 0-based sensors the channel shows, in bar order.
std::vector<int> shownSensors(const SettingsData& set, int channel);

// The requests of `op` in the order they are sent.
std::vector<PageRead> operationReads(Operation op, const SettingsData& set, GraphChoice choice);
// The threshold part of the full load (every connected sensor, then the sensor-wide blocks).
std::vector<PageRead> thresholdReads(const SettingsData& set);
// The reads that fetch fresh absolute levels and thresholds of the shown sensors.
std::vector<PageRead> absoluteSnapshotReads(const SettingsData& set, int channel);

// Sensor (0-based) and beam (0-based) of a bar of a chart of `channel`; false past the end.
struct BeamRef {
    int sensor = 0;
    int beam = 0;
};
bool beamOfBar(const SettingsData& set, int channel, int bar, BeamRef& out);

// Everything the chart needs of one bar.
struct BarView {
    BeamRef ref;
    int32_t value = 0;
    chart::ThresholdPair thresholds;
    bool blanked = false;  // beam blanked and blanking in force for its sensor
    chart::BarState state = chart::BarState::Blocked;
};

// Blanking is in force for a sensor when its fixed-blanking configuration is set, or, for
// the sensor of a single-channel page, when its floating-blanking switch is.
bool blankingInForce(const SettingsData& set, int sensor, bool singleChannel);
// The thresholds a bar is judged against in the chosen display.
chart::ThresholdPair displayThresholds(const SettingsData& set, BeamRef ref, bool ratioDisplay,
                                       bool singleChannel);
// The bars of the choice, at most kMaxBars.
std::vector<BarView> barViews(const SettingsData& set, GraphChoice choice, bool ratioDisplay);

}  // namespace qavix::levels
