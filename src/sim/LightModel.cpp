#include "sim/LightModel.h"

#include <algorithm>
#include <cmath>

namespace qavix::sim {

namespace {

constexpr int kBaseMin = 95;
constexpr int kBaseSpread = 31;           // steady levels 95..125
constexpr double kDriftAmplitude = 0.04;  // of the steady level
constexpr double kDriftPeriodMs = 47000.0;
constexpr std::int64_t kPassPeriodMs = 9000;      // one object every 9 s (CH1) ...
constexpr std::int64_t kPassPeriodStepMs = 1700;  // ... a little slower on CH2, CH3
constexpr std::int64_t kPassDurationMs = 3000;
constexpr double kObjectTransmission = 0.08;  // light left behind the object
constexpr std::int64_t kNoiseSlotMs = 100;
constexpr int kNoiseSpread = 5;  // -2..+2
constexpr int kMaxLevel = 255;
constexpr double kTwoPi = 6.283185307179586;

std::uint64_t splitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::int64_t positiveMod(std::int64_t a, std::int64_t m) {
    return ((a % m) + m) % m;
}

}  // namespace

std::uint64_t LightModel::hash(std::uint64_t a, std::uint64_t b, std::uint64_t c) const {
    return splitMix(splitMix(splitMix(m_seed ^ a) ^ b) ^ c);
}

double LightModel::coverage(int channel, int beam, int beamCount, std::int64_t ms) const {
    const std::int64_t period = kPassPeriodMs + kPassPeriodStepMs * channel;
    const auto phase = static_cast<std::int64_t>(hash(channel, 0xC0FFEE, 0) % period);
    const std::int64_t t = positiveMod(ms + phase, period);
    if (t >= kPassDurationMs || beamCount <= 0) {
        return 0.0;
    }
    const double width = std::max(2, beamCount / 8);
    const double front = static_cast<double>(t) / kPassDurationMs * (beamCount + width) - width;
    const double lo = std::max<double>(beam, front);
    const double hi = std::min<double>(beam + 1, front + width);
    return std::clamp(hi - lo, 0.0, 1.0);
}

int LightModel::level(int channel, int beam, int beamCount, std::int64_t ms) const {
    const auto ch = static_cast<std::uint64_t>(channel);
    const auto b = static_cast<std::uint64_t>(beam);
    const double steady = kBaseMin + static_cast<double>(hash(ch, b, 1) % kBaseSpread);
    if (m_steady) {
        return static_cast<int>(steady);
    }
    const double phase = static_cast<double>(hash(ch, 2, 3) % 1000) / 1000.0;
    const double drift =
        1.0 +
        kDriftAmplitude * std::sin(kTwoPi * (static_cast<double>(ms) / kDriftPeriodMs + phase));
    const double shade = 1.0 - (1.0 - kObjectTransmission) * coverage(channel, beam, beamCount, ms);
    const auto slot = static_cast<std::uint64_t>(ms / kNoiseSlotMs);
    const int noise = static_cast<int>(hash(ch, b, slot) % kNoiseSpread) - kNoiseSpread / 2;
    const int value = static_cast<int>(std::lround(steady * drift * shade)) + noise;
    return std::clamp(value, 0, kMaxLevel);
}

}  // namespace qavix::sim
