#pragma once
// The light each receiver sees: a steady level per beam, a slow drift, a little noise and
// an object that passes through the curtain at intervals. A pure function of seed, beam
// and time, so a seeded run repeats exactly.

#include <cstdint>

namespace qavix::sim {

class LightModel {
  public:
    // `steady`: every beam keeps its steady level, without drift, noise or passing objects,
    // so two reads at different times agree.
    explicit LightModel(std::uint64_t seed, bool steady = false) : m_seed(seed), m_steady(steady) {}

    // Received light of one beam (0-based) of a sensor with `beamCount` beams, 0..255,
    // at `ms` milliseconds of the PC clock.
    int level(int channel, int beam, int beamCount, std::int64_t ms) const;

    // Fraction (0..1) of the beam that the passing object covers at that time.
    double coverage(int channel, int beam, int beamCount, std::int64_t ms) const;

  private:
    std::uint64_t hash(std::uint64_t a, std::uint64_t b, std::uint64_t c) const;

    std::uint64_t m_seed;
    bool m_steady;
};

}  // namespace qavix::sim
