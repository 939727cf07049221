#pragma once
// Picking beams of a sensor, or of all connected sensors together, for the designated-beam
// table (SET_AXIS) or the fixed-blanking table (FIX_AXIS): the range a page shows, the
// picks it keeps per sensor and beam, the incident / blocked / clear rules, and the puts a
// write sends. Shared by the chart page and the list page.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix {

// Which flag table a beam page edits.
enum class BeamFlagTable : int { Designated = 0, FixedBlanking = 1 };

namespace beams {

// The page channel that stands for all connected sensors one after another.
constexpr int kAllSensors = 3;

int putCode(BeamFlagTable table);
const BeamTable& flagTable(const ChannelRecord& channel, BeamFlagTable table);
BeamTable& flagTable(ChannelRecord& channel, BeamFlagTable table);

// The reads of the table for every connected sensor, so a page starts from what the
// controller holds.
std::vector<PageRead> tableReads(const SettingsData& set, BeamFlagTable table);

// A requested page channel: 0..2 one sensor, 3 all sensors; anything else counts as 0.
int pageChannel(int requested);

// Sensor (0-based) and beam (0-based).
struct BeamRef {
    int sensor = 0;
    int beam = 0;
    bool operator==(const BeamRef& o) const { return sensor == o.sensor && beam == o.beam; }
};

// The beams a page shows in a row: one sensor's, or every connected sensor's one after
// another. Index n of the row belongs to the sensor whose span holds it.
class BeamRange {
  public:
    struct Span {
        int sensor = 0;
        int first = 0;  // index of the sensor's beam 0 in the row
        int count = 0;
    };

    BeamRange() = default;
    BeamRange(const SettingsData& set, int channel);

    int channel() const { return m_channel; }
    int size() const { return m_size; }
    // The chart holds at most as many bars as one sensor can have beams; a longer row is
    // cut there.
    int chartBars() const;
    const std::vector<Span>& spans() const { return m_spans; }
    std::optional<BeamRef> at(int index) const;
    // -1 when the beam is not in the row.
    int indexOf(BeamRef ref) const;
    // "5" on a one-sensor row, "CH2-5" on an all-sensor row.
    std::string label(int index) const;

  private:
    int m_channel = 0;
    int m_size = 0;
    std::vector<Span> m_spans;
};

// Whether a beam counts as incident or blocked for the designation actions: in ratio
// display its ratio level against its ratio threshold, in absolute display its absolute
// level against its absolute threshold, or against the sensor's TH_CNF word when that
// threshold is 0. Incident is strictly above ON, blocked strictly below OFF.
bool isIncident(const ChannelRecord& channel, int beam, bool ratioDisplay);
bool isBlocked(const ChannelRecord& channel, int beam, bool ratioDisplay);

enum class Designation { Incident, Blocked };

// The picks of one page, per sensor and beam, for all three sensors: switching the shown
// channel keeps them.
class BeamPicks {
  public:
    void load(const SettingsData& set, BeamFlagTable table);
    bool picked(BeamRef ref) const;
    bool picked(const BeamRange& range, int index) const;
    // Each returns how many beams changed.
    int set(const BeamRange& range, int index, bool on);
    // Every index from `from` to `to` in either order, clipped to the row.
    int setSpan(const BeamRange& range, int from, int to, bool on);
    // Sets every listed index to the opposite of what index `current` holds now, so that a
    // mixed selection comes out all one way.
    int toggleRows(const BeamRange& range, const std::vector<int>& indexes, int current);
    // Adds the incident (or blocked) beams of the row; earlier picks stay.
    int designate(const SettingsData& set, const BeamRange& range, Designation what,
                  bool ratioDisplay);
    int clear(const BeamRange& range);
    int count(const BeamRange& range) const;

    bool differs(const SettingsData& set, BeamFlagTable table, int sensor) const;
    // The table as the set stores it: per beam 0 or its bit weight.
    void storeInto(SettingsData& set, BeamFlagTable table, int sensor) const;

  private:
    std::array<std::array<bool, kMaxBeams>, kChannelCount> m_on{};
};

// The sensors a write sends, CH1 first: those of the row, and any other connected sensor
// whose picks differ from the set (picked while another channel was shown).
std::vector<int> sensorsToWrite(const SettingsData& set, BeamFlagTable table,
                                const BeamPicks& picks, const BeamRange& range);
// The puts of a write: one flag table per sensor, packed eight beams to a byte.
std::vector<codec::PutRequest> writePuts(const SettingsData& set, BeamFlagTable table,
                                         const BeamPicks& picks, const BeamRange& range);

// Where "閉じる" leads, found in the title of the page that opened the beam page.
enum class ReturnTarget { None, OverallJudgement, SensorOperation };
// The chart page's bar goes back to the sensor page on any "動作設定" title; the list
// page's bar only on a sensor's ("CH1 動作設定" .. "CH3 動作設定").
ReturnTarget returnTarget(const std::string& title, bool listPage);

}  // namespace beams
}  // namespace qavix
