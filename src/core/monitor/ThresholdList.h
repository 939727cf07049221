#pragma once
// The received-light list (page 5): its rows' labels and thresholds, the limits of an ON or
// OFF threshold typed into a cell, the reads and writes of the page, and its CSV lines.

#include <optional>
#include <string>
#include <vector>

#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"
#include "monitor/BarRules.h"

namespace qavix::thlist {

// "CH1_光軸   5": the sensor and the beam number padded so that numbers line up; as written,
// the same in every language, for the list's CSV file.
std::string rowLabel(int sensor, int beam);
// The same label as the list shows it, translated ("CH1_Beam   5").
std::string shownRowLabel(int sensor, int beam);

// The ON and OFF threshold a row shows, from the working set: the channel thresholds in
// channel-threshold mode, else the beam's AXIS_TH with the sensor's HYS by its TH_CNF.
chart::ThresholdPair derivedPair(const SettingsData& set, int sensor, int beam, bool channelMode);

// The pair after typing `typed` into the ON cell (`onCell`) or the OFF cell of a row
// showing `now`: the other threshold follows at the hysteresis. Empty when either would
// leave kMinOffThreshold..kFullScale; the row then keeps both.
std::optional<chart::ThresholdPair> typedThreshold(chart::ThresholdPair now, bool onCell,
                                                   int32_t typed, int32_t hys);

// The texts of a row's ON and OFF cells: the numbers, except that an OFF threshold the user
// has just typed reads with one space after it, the way the page has always shown an edit
// made from the OFF side (and its CSV file keeps the cells as they read).
struct CellTexts {
    std::string on;
    std::string off;
};
CellTexts cellTexts(chart::ThresholdPair pair, bool offTyped);

// The reads of the page: the full read of every connected sensor, and the levels of the
// sensors shown.
std::vector<PageRead> fullReads(const SettingsData& set, bool channelMode);
std::vector<PageRead> levelReads(const SettingsData& set, int channel);

// What "書込み" sends for the sensors of the list: per sensor its per-beam thresholds (the
// ON threshold where TH_CNF is set, else OFF), or in channel-threshold mode ON_TH and
// OFF_TH from the sensor's first row. `pairs[s]` holds sensor s's rows, beam 0 first.
std::vector<codec::PutRequest> listPuts(SettingsData& set, const std::vector<int>& sensors,
                                        const std::vector<std::vector<chart::ThresholdPair>>& pairs,
                                        bool channelMode);

// The header, then the first four cells of each row followed by a comma each.
std::vector<std::string> listCsvLines(const std::vector<std::vector<std::string>>& rows);

}  // namespace qavix::thlist
