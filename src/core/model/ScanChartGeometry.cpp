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

int screenCount(int samplesShown) {
    if (samplesShown <= 0) {
        return 0;
    }
    return (kHistorySamples + samplesShown - 1) / samplesShown;
}

}  // namespace qavix::scan
