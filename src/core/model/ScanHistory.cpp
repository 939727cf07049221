#include "model/ScanHistory.h"

#include <algorithm>

namespace qavix::scan {

void ScanHistory::reset(int rows) {
    m_rows = std::clamp(rows, 0, kMaxRowsStored);
    m_cells.assign(static_cast<size_t>(kHistorySamples * m_rows), kCellEmpty);
    m_counter = 0;
    m_wraps = 0;
}

int ScanHistory::append() {
    const int slot = m_counter;
    // Wrapping as soon as the counter reaches the end keeps counter and wraps an exact
    // account: after 1000 samples the counter is 0 and the wrap count 1.
    if (++m_counter == kHistorySamples) {
        m_counter = 0;
        ++m_wraps;
    }
    return slot;
}

uint8_t ScanHistory::cell(int slot, int row) const {
    if (slot < 0 || slot >= kHistorySamples || row < 0 || row >= m_rows) {
        return kCellEmpty;
    }
    return m_cells[static_cast<size_t>(slot * m_rows + row)];
}

std::optional<int64_t> ScanHistory::sampleNumber(int slot) const {
    if (slot < 0 || slot >= kHistorySamples) {
        return std::nullopt;
    }
    if (slot < m_counter) {
        return int64_t{m_wraps} * kHistorySamples + slot + 1;
    }
    if (m_wraps == 0) {
        return std::nullopt;
    }
    return int64_t{m_wraps - 1} * kHistorySamples + slot + 1;
}

std::optional<int> ScanHistory::newestSlot() const {
    if (samplesTaken() == 0) {
        return std::nullopt;
    }
    return (m_counter + kHistorySamples - 1) % kHistorySamples;
}

}  // namespace qavix::scan
