#pragma once
// Where the scan monitor's cells lie: the columns over the chart's width and the rows over
// its height, each spread so that the remainder pixels fall evenly and the last cell ends
// exactly at the edge.

#include <cstddef>
#include <vector>

namespace qavix::scan {

// Rows laid out when no number of rows shown is set.
constexpr int kDefaultRowsShown = 40;

// The end position of each of `count` cells over `extent` pixels: (k + 1) × extent / count,
// rounded to the nearest pixel when the division is not exact; the last one is `extent`.
// Empty when count is not positive.
std::vector<int> cellEnds(int count, int extent);

// The cell that pixel `pos` falls in (cell k spans [end(k-1), end(k))); -1 outside.
int cellAt(const std::vector<int>& ends, int pos);

// Start of cell k: 0 for the first, else the end of the one before.
inline int cellStart(const std::vector<int>& ends, int k) {
    return k <= 0 ? 0 : ends[static_cast<std::size_t>(k - 1)];
}

// The rows that carry a beam label beside the chart, from the beam numbers of the rows shown
// (1..128 within their sensor), where the rows end and how tall a label is: every beam
// while they fit, else every 2nd, 5th, 10th, ... counting from beam 1 of each sensor, and
// never one label over another.
std::vector<int> labelledRows(const std::vector<int>& beams, const std::vector<int>& rowEnds,
                              int labelHeight);

// How many screens of `samplesShown` columns the 1000 stored samples make.
int screenCount(int samplesShown);

}  // namespace qavix::scan
