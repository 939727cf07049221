#include "model/ScanChartGeometry.h"

#include <algorithm>
#include <cstdint>

#include "model/ScanHistory.h"

namespace qavix::scan {

std::vector<int> cellEnds(int count, int extent) {
    std::vector<int> ends;
    if (count <= 0) {
        return ends;
    }
    extent = std::max(extent, 0);
    ends.reserve(static_cast<size_t>(count));
    const bool exact = extent % count == 0;
    for (int k = 0; k < count; ++k) {
        const int64_t scaled = int64_t{k + 1} * extent;
        // Rounding to nearest in integers: floor((2 × scaled + count) / (2 × count)).
        const int64_t end = exact ? scaled / count : (2 * scaled + count) / (2 * int64_t{count});
        ends.push_back(static_cast<int>(end));
    }
    ends.back() = extent;
    return ends;
}

int cellAt(const std::vector<int>& ends, int pos) {
    if (pos < 0 || ends.empty() || pos >= ends.back()) {
        return -1;
    }
    return static_cast<int>(std::upper_bound(ends.begin(), ends.end(), pos) - ends.begin());
}

std::vector<int> labelledRows(const std::vector<int>& beams, const std::vector<int>& rowEnds,
                              int labelHeight) {
    std::vector<int> out;
    const size_t rows = std::min(beams.size(), rowEnds.size());
    if (rows == 0 || labelHeight <= 0) {
        return out;
    }
    int shortest = rowEnds[0];
    for (size_t r = 1; r < rows; ++r) {
        shortest = std::min(shortest, rowEnds[r] - rowEnds[r - 1]);
    }
    int step = 1;
    for (int candidate : {1, 2, 5, 10, 20, 50, 100, 200}) {
        step = candidate;
        if (candidate * std::max(shortest, 0) >= labelHeight) {
            break;
        }
    }
    int lastCentre = 0;
    for (size_t r = 0; r < rows; ++r) {
        // A label is kept inside the strip: one beside a row at its top edge sits lower than
        // the row, and the next label must keep clear of where it is drawn.
        const int centre =
            std::max((cellStart(rowEnds, static_cast<int>(r)) + rowEnds[r]) / 2, labelHeight / 2);
        if ((beams[r] - 1) % step != 0 || (!out.empty() && centre - lastCentre < labelHeight)) {
            continue;
        }
        out.push_back(static_cast<int>(r));
        lastCentre = centre;
    }
    return out;
}

int screenCount(int samplesShown) {
    if (samplesShown <= 0) {
        return 0;
    }
    return (kHistorySamples + samplesShown - 1) / samplesShown;
}

}  // namespace qavix::scan
