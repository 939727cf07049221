#include "report/ReportReads.h"

#include <algorithm>

#include "model/IdentificationNumber.h"
#include "model/SensorOperation.h"

namespace qavix::report {

std::vector<PageRead> settingsReportReads(const SettingsData& set) {
    std::vector<PageRead> reads = basicInformationReads();
    const int sensors = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int channel = 1; channel <= sensors; ++channel) {
        for (const PageRead& read : sensorIdentityReads(channel)) {
            reads.push_back(read);
        }
    }
    return reads;
}

}  // namespace qavix::report
