#pragma once
// The controller block of the settings report: title, date and every controller section.

#include <ctime>

#include "model/DeviceData.h"
#include "report/ReportLines.h"

namespace qavix::report {

void appendControllerBlock(ReportLines& lines, const SettingsData& set, bool extendedMode,
                           const std::tm& now);

// How many sensors the report lists: JOINT_NUM, kept to the channels that exist.
int connectedSensorCount(const GeneralBlock& general);

}  // namespace qavix::report
