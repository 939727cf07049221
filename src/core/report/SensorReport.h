#pragma once
// The block of one sensor in the settings report.

#include "model/DeviceData.h"
#include "report/ReportLines.h"

namespace qavix::report {

// `channelIndex` 0..2 for CH1..CH3.
void appendSensorBlock(ReportLines& lines, const ChannelRecord& channel, int channelIndex,
                       bool extendedMode);

}  // namespace qavix::report
