#pragma once
// What the scan monitor remembers: the last 1000 samples, one cell per stored row, with the
// sample counter (the slot the next sample takes) and how often it has come round.

#include <cstdint>
#include <optional>
#include <vector>

#include "model/ScanRows.h"

namespace qavix::scan {

constexpr int kHistorySamples = 1000;

class ScanHistory {
  public:
    // An empty buffer for `rows` rows (at most kMaxRowsStored); both counters 0.
    void reset(int rows);

    int rows() const { return m_rows; }
    int counter() const { return m_counter; }  // 0..999
    int wraps() const { return m_wraps; }      // times the counter came round from 999 to 0
    int64_t samplesTaken() const { return int64_t{m_wraps} * kHistorySamples + m_counter; }

    // The cells of the slot the next sample takes, to be filled before append().
    uint8_t* nextColumn() { return m_cells.data() + static_cast<size_t>(m_counter * m_rows); }
    // Commits the next column and returns its slot.
    int append();

    uint8_t cell(int slot, int row) const;
    // The running number (from 1) of the sample a slot holds; nothing for a slot not yet
    // written since the last reset.
    std::optional<int64_t> sampleNumber(int slot) const;
    // The slot of the newest sample; nothing before the first.
    std::optional<int> newestSlot() const;

  private:
    std::vector<uint8_t> m_cells;  // slot-major, so one sample's column is contiguous
    int m_rows = 0;
    int m_counter = 0;
    int m_wraps = 0;
};

// Which slot each of `samplesShown` columns shows while sampling runs: sample slot s is drawn
// in column s mod samplesShown over whatever that column held, so each column shows the
// newest sample that fell into it. -1 for a column no stored sample has reached.
std::vector<int> sweepColumns(const ScanHistory& history, int samplesShown);

// Which slot each column shows after a stop, when the chart is scrolled to `firstSample`.
std::vector<int> scrolledColumns(const ScanHistory& history, int samplesShown, int firstSample);

// Where the chart stands when sampling stops: the start of the screen that holds the newest
// sample, kept far enough from the end that a whole screen of slots follows it.
int firstSampleAfterStop(const ScanHistory& history, int samplesShown);

}  // namespace qavix::scan
