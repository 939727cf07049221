#pragma once
// The rules of threshold tuning that need no window: the batch dialog's slider and
// percentages, the percentage a dialog opens with, what a write of edited thresholds sends,
// and which beams cannot take a ratio threshold. The chart, the batch dialog and the graph
// page share them.

#include <cstdint>
#include <string>
#include <vector>

#include "model/Codec.h"
#include "model/DeviceData.h"
#include "monitor/BarRules.h"

namespace qavix::tuning {

// The slider runs 0..190: 0..100 % in steps of 1, then 110..1000 % in steps of 10.
constexpr int kSliderMax = 190;
constexpr int kPercentMax = 1000;
constexpr int kLinearSliderEnd = 100;
// The dialog's starting percentage looks at this many beams of each sensor.
constexpr int kSampleBeams = 5;
// Sensitivity presets: a zero reset, then the controller teaches this reference and
// percentage.
constexpr int kBlockedMaxPercent = 90;   // "遮光最大感度": ON reference
constexpr int kIncidentMaxPercent = 10;  // "入光最大感度": OFF reference

// Teach modes of the batch dialog.
enum class TeachMode : int { ZeroReset = 0, IncidentMax = 1, BlockedMax = 2, Ratio = 3 };

int sliderToPercent(int position);
int percentToSlider(int percent);

// The mean of the sensors' zero points as the dialog judges them: the first kSampleBeams
// entries of each sensor's ZERO, the overall largest and smallest left out; the plain mean
// when too few remain; at least 1.
int32_t typicalZeroPoint(const SettingsData& set, const std::vector<int>& sensors);
// The mean HYS of the sensors (integer division).
int32_t meanHysteresis(const SettingsData& set, const std::vector<int>& sensors);

// The percentage of the ON threshold (`wantOn`) or the OFF threshold that `percent` of the
// reference threshold gives with zero point `zero` and hysteresis `hys`, rounded to the
// nearest and limited to 0..kPercentMax.
int resultingPercent(int percent, bool onReference, bool wantOn, int32_t zero, int32_t hys);

// The mean of `values` without their largest and smallest, rounded to the nearest; the
// plain mean (rounded) when fewer than three are given; 0 for none.
int32_t trimmedMean(const std::vector<int32_t>& values);

// Per sensor, the ratio thresholds of its first beams (ON or OFF); the dialog opens with
// the trimmed mean of each sensor, averaged over the sensors.
int startingPercent(const std::vector<std::vector<int32_t>>& perSensorSamples);

// Beams (sensor, beam; both 0-based) whose zero point is 0: the ratio rule cannot set them.
struct BeamRef {
    int sensor = 0;
    int beam = 0;
    bool operator==(const BeamRef& o) const { return sensor == o.sensor && beam == o.beam; }
};
std::vector<BeamRef> beamsWithoutZeroPoint(const SettingsData& set,
                                           const std::vector<int>& sensors);
// "CH1-3, CH2-10" for a message.
std::string beamList(const std::vector<BeamRef>& beams);

// The absolute threshold a ratio threshold stands for at zero point `zero`, raised to the
// controller's floor of an ON or OFF threshold.
int32_t absoluteOfRatio(int32_t zero, int32_t percent, bool on);

// What a write of one sensor's edited thresholds (`pairs`, beam 0 first, in the display's
// units) sends: one per-beam threshold block whose entries are the ON thresholds when the
// sensor's TH_CNF is set, else the OFF thresholds. In ratio display each is converted to
// absolute; a beam without a zero point keeps the entry the controller holds. `set` gets
// the edited values in its threshold tables of that display.
codec::PutRequest beamThresholdPut(SettingsData& set, int sensor,
                                   const std::vector<chart::ThresholdPair>& pairs,
                                   bool ratioDisplay);
// The channel thresholds ON_TH and OFF_TH of a single-channel page (two puts).
std::vector<codec::PutRequest> channelThresholdPuts(SettingsData& set, int sensor,
                                                    chart::ThresholdPair pair);

}  // namespace qavix::tuning
