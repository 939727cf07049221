#pragma once
// What the controller measures and derives per beam: received-light levels from the
// light model, the incident/blocked state of every beam with its hysteresis, the
// absolute and ratio threshold tables, and the zero reset and teach that change the
// zero points and thresholds of the current set.

#include <array>
#include <cstdint>
#include <string>

#include "sim/Command.h"
#include "sim/LightModel.h"
#include "sim/MemoryLayout.h"

namespace qavix::sim {

class BeamMonitor {
  public:
    explicit BeamMonitor(std::uint64_t seed, bool steadyLight = false);

    // Whether `id` is one of the monitoring reads (levels, thresholds, state flags).
    static bool isMonitorRead(int id);

    // The reply of a monitoring read at `ms` of the PC clock.
    Response read(const SetMemory& set, int id, int start, int count, std::int64_t ms);

    // Zero points of channels first..last (0-based) become the present levels, 20..200.
    void zeroReset(SetMemory& set, int first, int last, std::int64_t ms);

    // AXIS_TH of channels first..last becomes `percent` of each beam's zero point, taken
    // as the ON (reference 1) or OFF (reference 0) threshold, kept within 8..200.
    void teach(SetMemory& set, int first, int last, int reference, int percent) const;

    // Beams first..last (0-based) of a channel receive `percent` of the model's light from
    // now on (a dirty lens, a misaligned receiver); 100 restores them.
    void setLightPercent(int channel, int first, int last, int percent);

    // Forget the beam states, as after a restart: the next sample starts them afresh.
    void restart() { m_statesKnown = false; }

    static int onThreshold(const SetMemory& set, int channel, int beam);
    static int offThreshold(const SetMemory& set, int channel, int beam);

  private:
    using Levels = std::array<std::array<int, 128>, 3>;
    Levels sample(const SetMemory& set, std::int64_t ms);
    std::string beamValue(const SetMemory& set, int id, int channel, int beam,
                          const Levels& levels) const;

    LightModel m_light;
    std::array<std::array<int, 128>, 3> m_lightPercent{};
    std::array<std::array<bool, 128>, 3> m_incident{};
    bool m_statesKnown = false;
};

}  // namespace qavix::sim
