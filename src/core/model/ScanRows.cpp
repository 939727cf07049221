#include "model/ScanRows.h"

#include <algorithm>

#include "model/VisibleBeams.h"

namespace qavix::scan {

ScanRows::ScanRows(const SettingsData& set, int channel) {
    const int sensors = std::clamp(static_cast<int>(set.general.jointNum), 0, kChannelCount);
    const bool all = channel < 0 || channel >= kChannelCount;
    const int first = all ? 0 : channel;
    const int last = all ? sensors - 1 : channel;
    for (int c = first; c <= last; ++c) {
        const int beams = std::clamp(static_cast<int>(set.channel(c).beamCount), 0, kMaxBeams);
        for (int b = 0; b < beams; ++b) {
            m_rows.push_back({static_cast<uint8_t>(c), static_cast<uint8_t>(b)});
        }
    }
}

std::optional<BeamRef> ScanRows::beamAt(int row) const {
    if (row < 0 || row >= count()) {
        return std::nullopt;
    }
    const Row& r = m_rows[static_cast<size_t>(row)];
    return BeamRef{r.channel + 1, r.beam + 1};
}

void ScanRows::fillColumn(const SettingsData& set, uint8_t* cells) const {
    for (const Row& r : m_rows) {
        *cells++ = set.channels[r.channel].beamState[r.beam] != 0 ? kCellSet : kCellClear;
    }
}

}  // namespace qavix::scan
