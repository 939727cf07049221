#pragma once
// The settings report: every setting of a set as plain-text lines, laid out for a
// fixed-pitch font, in the blocks the user selects.

#include <array>
#include <ctime>
#include <string>

#include "model/DeviceData.h"
#include "report/ReportLines.h"

namespace qavix::report {

struct ReportSelection {
    bool controller = true;
    std::array<bool, kChannelCount> sensors{};  // CH1..CH3
};

// What the report shows at first: the controller block and every connected sensor.
ReportSelection defaultReportSelection(int connectedSensors);

// The report's lines. `now` fills the date line of the controller block (local time).
ReportLines buildSettingsReport(const SettingsData& set, const ReportSelection& selection,
                                bool extendedMode, const std::tm& now);

// The lines joined with CR LF, as the report is shown and saved.
std::string joinReportLines(const ReportLines& lines);

}  // namespace qavix::report
