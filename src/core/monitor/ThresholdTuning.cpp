#include "monitor/ThresholdTuning.h"

#include <algorithm>
#include <numeric>

namespace qavix::tuning {

namespace {

// Above the linear part each slider step is worth 10 %.
constexpr int kCoarseStep = 10;
// Percentages are hundredths of the zero point.
constexpr int kPercentScale = 100;
// Per-beam threshold block and channel threshold puts.
constexpr int kPutBeamThresholds = 24;
constexpr int kPutChannelOn = 6;
constexpr int kPutChannelOff = 7;

int beamsOf(const SettingsData& set, int sensor) {
    return std::clamp(set.channel(sensor).beamCount, 0, kMaxBeams);
}

}  // namespace

int sliderToPercent(int position) {
    const int p = std::clamp(position, 0, kSliderMax);
    if (p <= kLinearSliderEnd) {
        return p;
    }
    return (p * 5 - 450) * 2;
}

int percentToSlider(int percent) {
    const int p = std::clamp(percent, 0, kPercentMax);
    if (p <= kLinearSliderEnd) {
        return p;
    }
    return std::min(kLinearSliderEnd + (p - kLinearSliderEnd) / kCoarseStep, kSliderMax);
}

int32_t typicalZeroPoint(const SettingsData& set, const std::vector<int>& sensors) {
    std::vector<int32_t> samples;
    for (int s : sensors) {
        const ChannelRecord& ch = set.channel(s);
        const int n = std::min(beamsOf(set, s), kSampleBeams);
        samples.insert(samples.end(), ch.zero.begin(), ch.zero.begin() + n);
    }
    if (samples.empty()) {
        return 1;
    }
    const int64_t sum = std::accumulate(samples.begin(), samples.end(), int64_t{0});
    const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
    // One largest and one smallest are left out of all the sensors' samples together.
    const int64_t divisor = std::max<int64_t>(
        static_cast<int64_t>(samples.size()) - 2 * static_cast<int64_t>(sensors.size()), 1);
    const int64_t mean = samples.size() >= 3 ? (sum - *lo - *hi) / divisor
                                             : sum / static_cast<int64_t>(samples.size());
    return mean > 0 ? static_cast<int32_t>(mean) : 1;
}

int32_t meanHysteresis(const SettingsData& set, const std::vector<int>& sensors) {
    if (sensors.empty()) {
        return 0;
    }
    int32_t sum = 0;
    for (int s : sensors) {
        sum += set.channel(s).hys;
    }
    return sum / static_cast<int32_t>(sensors.size());
}

int resultingPercent(int percent, bool onReference, bool wantOn, int32_t zero, int32_t hys) {
    const int p = std::clamp(percent, 0, kPercentMax);
    if (wantOn == onReference) {
        return p;
    }
    const int64_t z = std::max<int32_t>(zero, 1);
    int64_t a = (z * p + kPercentScale / 2) / kPercentScale;
    a += onReference ? -hys : hys;
    const int64_t result = (a * kPercentScale + z / 2) / z;
    return static_cast<int>(std::clamp<int64_t>(result, 0, kPercentMax));
}

int32_t trimmedMean(const std::vector<int32_t>& values) {
    const int64_t n = static_cast<int64_t>(values.size());
    if (n == 0) {
        return 0;
    }
    const int64_t sum = std::accumulate(values.begin(), values.end(), int64_t{0});
    if (n < 3) {
        return static_cast<int32_t>((sum + n / 2) / n);
    }
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    const int64_t kept = n - 2;
    return static_cast<int32_t>((sum - *lo - *hi + kept / 2) / kept);
}

int startingPercent(const std::vector<std::vector<int32_t>>& perSensorSamples) {
    if (perSensorSamples.empty()) {
        return 0;
    }
    int32_t sum = 0;
    for (const auto& samples : perSensorSamples) {
        sum += trimmedMean(samples);
    }
    return std::clamp<int32_t>(sum / static_cast<int32_t>(perSensorSamples.size()), 0, kPercentMax);
}

std::vector<BeamRef> beamsWithoutZeroPoint(const SettingsData& set,
                                           const std::vector<int>& sensors) {
    std::vector<BeamRef> out;
    for (int s : sensors) {
        const ChannelRecord& ch = set.channel(s);
        for (int b = 0; b < beamsOf(set, s); ++b) {
            if (ch.zero[static_cast<size_t>(b)] <= 0) {
                out.push_back(BeamRef{s, b});
            }
        }
    }
    return out;
}

std::string beamList(const std::vector<BeamRef>& beams) {
    std::string text;
    for (const BeamRef& r : beams) {
        if (!text.empty()) {
            text += ", ";
        }
        text += "CH" + std::to_string(r.sensor + 1) + "-" + std::to_string(r.beam + 1);
    }
    return text;
}

int32_t absoluteOfRatio(int32_t zero, int32_t percent, bool on) {
    const int32_t value = zero * percent / kPercentScale;
    return std::max(value, on ? kMinOnThreshold : kMinOffThreshold);
}

codec::PutRequest beamThresholdPut(SettingsData& set, int sensor,
                                   const std::vector<chart::ThresholdPair>& pairs,
                                   bool ratioDisplay) {
    ChannelRecord& ch = set.channel(sensor);
    const bool onEntries = ch.thCnf != 0;
    const int beams = std::min(beamsOf(set, sensor), static_cast<int>(pairs.size()));
    for (int b = 0; b < beams; ++b) {
        const auto k = static_cast<size_t>(b);
        const chart::ThresholdPair t = pairs[k];
        if (ratioDisplay) {
            ch.ratioOnTh[k] = t.on;
            ch.ratioOffTh[k] = t.off;
            // Without a zero point a percentage stands for nothing: the beam keeps what the
            // controller holds.
            if (ch.zero[k] > 0) {
                ch.axisTh[k] = absoluteOfRatio(ch.zero[k], onEntries ? t.on : t.off, onEntries);
            }
        } else {
            ch.absOnTh[k] = t.on;
            ch.absOffTh[k] = t.off;
            ch.axisTh[k] = onEntries ? t.on : t.off;
        }
    }
    codec::PutRequest put = codec::encodePut(kPutBeamThresholds, sensor + 1, set);
    return put;
}

std::vector<codec::PutRequest> channelThresholdPuts(SettingsData& set, int sensor,
                                                    chart::ThresholdPair pair) {
    ChannelRecord& ch = set.channel(sensor);
    ch.onTh = pair.on;
    ch.offTh = pair.off;
    return {codec::encodePut(kPutChannelOn, sensor + 1, set),
            codec::encodePut(kPutChannelOff, sensor + 1, set)};
}

}  // namespace qavix::tuning
