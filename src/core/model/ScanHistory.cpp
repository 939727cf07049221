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

std::vector<int> sweepColumns(const ScanHistory& history, int samplesShown) {
    std::vector<int> columns(static_cast<size_t>(std::max(samplesShown, 0)), -1);
    const int64_t taken = history.samplesTaken();
    const int64_t stored = std::min<int64_t>(taken, kHistorySamples);
    int open = samplesShown;
    // Back in time from the newest sample; the first to reach a column is what it shows.
    for (int64_t back = 0; back < stored && open > 0; ++back) {
        const int slot = static_cast<int>((taken - 1 - back) % kHistorySamples);
        int& column = columns[static_cast<size_t>(slot % samplesShown)];
        if (column < 0) {
            column = slot;
            --open;
        }
    }
    return columns;
}

std::vector<int> scrolledColumns(const ScanHistory& history, int samplesShown, int firstSample) {
    std::vector<int> columns(static_cast<size_t>(std::max(samplesShown, 0)), -1);
    for (int c = 0; c < samplesShown; ++c) {
        const int slot = firstSample + c;
        if (slot >= 0 && slot < kHistorySamples && history.sampleNumber(slot)) {
            columns[static_cast<size_t>(c)] = slot;
        }
    }
    return columns;
}

int firstSampleAfterStop(const ScanHistory& history, int samplesShown) {
    if (samplesShown <= 0) {
        return 0;
    }
    const int newest = history.newestSlot().value_or(0);
    const int screenStart = newest / samplesShown * samplesShown;
    return std::clamp(screenStart, 0, std::max(kHistorySamples - samplesShown, 0));
}

}  // namespace qavix::scan
