#include "report/SettingsReport.h"

#include "report/ControllerReport.h"
#include "report/SensorReport.h"

namespace qavix::report {

ReportSelection defaultReportSelection(int connectedSensors) {
    ReportSelection selection;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        selection.sensors[static_cast<size_t>(ch)] = ch < connectedSensors;
    }
    return selection;
}

ReportLines buildSettingsReport(const SettingsData& set, const ReportSelection& selection,
                                bool extendedMode, const std::tm& now) {
    ReportLines lines;
    if (selection.controller) {
        appendControllerBlock(lines, set, extendedMode, now);
    }
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (selection.sensors[static_cast<size_t>(ch)]) {
            appendSensorBlock(lines, set.channel(ch), ch, extendedMode);
        }
    }
    return lines;
}

std::string joinReportLines(const ReportLines& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += lines[i];
    }
    return text;
}

}  // namespace qavix::report
