#include "monitor/LevelCsv.h"

#include <algorithm>

#include "monitor/BarRules.h"

namespace qavix::levels {

const char* const kLevelCsvHeader = "光軸番号,受光レベル,ONしきい値,OFFしきい値";

std::vector<std::string> levelCsvLines(const SettingsData& set, const std::vector<int>& sensors) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < std::max<size_t>(sensors.size(), 1); ++i) {
        lines.emplace_back(kLevelCsvHeader);
        if (i >= sensors.size()) {
            break;
        }
        const ChannelRecord& ch = set.channel(sensors[i]);
        const int beams = std::clamp(ch.beamCount, 0, kMaxBeams);
        for (int b = 0; b < beams; ++b) {
            const auto k = static_cast<size_t>(b);
            lines.push_back(std::to_string(b + 1) + "," +
                            std::to_string(chart::displayedLevel(ch.absLevel[k], false)) + "," +
                            std::to_string(ch.absOnTh[k]) + "," + std::to_string(ch.absOffTh[k]) +
                            ",");
        }
    }
    return lines;
}

std::string defaultCsvName(const std::tm& localDate) {
    char buf[32];
    std::strftime(buf, sizeof buf, "Th%y%m%d.csv", &localDate);
    return buf;
}

std::string levelLogRow(const std::tm& localTime, int sensor, const std::vector<int>& levels) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &localTime);
    std::string row = std::string(stamp) + ",CH" + std::to_string(sensor);
    for (int level : levels) {
        row += "," + std::to_string(level);
    }
    return row;
}

}  // namespace qavix::levels
