#pragma once
// The graph page's level table and the command line's level log as CSV text. Lines are
// UTF-8 here; textfile::writeLines turns them into Shift-JIS with CR LF.

#include <ctime>
#include <string>
#include <vector>

#include "model/DeviceData.h"

namespace qavix::levels {

extern const char* const kLevelCsvHeader;

// The header, then "beam,level,ON,OFF," per beam of each sensor, absolute values with
// levels capped at 200. Several sensors give one block each, every block opening with the
// header so that beam numbers starting again at 1 mark the next sensor.
std::vector<std::string> levelCsvLines(const SettingsData& set, const std::vector<int>& sensors);

// "Th" + "%y%m%d" + ".csv" of the local date.
std::string defaultCsvName(const std::tm& localDate);

// One reading of one sensor for the level log: "YYYY-MM-DD HH:MM:SS,CHn,l1,l2,...".
std::string levelLogRow(const std::tm& localTime, int sensor, const std::vector<int>& levels);

}  // namespace qavix::levels
