#pragma once
// The read of everything and then of the banks under the initial read's wait window, at
// start-up and after a change of port or unit.

#include <QWidget>
#include <functional>
#include <utility>

namespace qavix {

class QtCommHost;
class Transactions;

struct InitialReadOutcome {
    bool succeeded = false;              // both reads
    std::pair<int, int> progress{0, 0};  // the bar's value and maximum when it closed
};

struct InitialReadTimings {
    int startDelayMs = 0;
    int blinkMs = 500;
};

// Runs the window over `parent` (none at start-up); `ending` stops before the banks' read
// once the program is ending. The connection's questions are asked over the window.
InitialReadOutcome runInitialReadWindow(Transactions& transactions, QtCommHost& host,
                                        InitialReadTimings timings, QWidget* parent,
                                        const std::function<bool()>& ending);

}  // namespace qavix
