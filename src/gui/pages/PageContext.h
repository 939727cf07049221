#pragma once
// What a setting page needs from the program, handed in when the page is created: the run
// flags and device data, the connection, the message boxes, and the main frame's wait
// window and command flags (reached through hooks, because pages sit below the frame).

#include <chrono>
#include <functional>
#include <memory>

#include "comm/CCommLink.h"
#include "comm/CommHost.h"
#include "state/AppState.h"

namespace qavix {

class PageRegistry;

struct PageContext {
    AppState& state;
    CCommLink& link;
    // Message boxes: the program shows them with the exclamation icon; tests record them.
    CommHost& messages;
    // The pages of the right pane by page index, for the command bars.
    std::shared_ptr<PageRegistry> registry;

    // The main frame's wait window with the menus greyed, and its release.
    std::function<void(bool writing)> openWaitWindow;
    std::function<void()> closeWaitWindow;
    // The main frame's commands-allowed flag (the clock page clears it while shown).
    std::function<void(bool allowed)> setCommandsAllowed;
    // The monitoring interval `Interval`, read each time a timed page is shown.
    std::function<int()> refreshPeriodMs;
    // The PC's clock; tests move it.
    std::function<std::chrono::system_clock::time_point()> now;
    // Leaves a beam page for the page with index `pageIndex` that opened it; refused while
    // the tree must stay.
    std::function<void(int pageIndex)> closeBeamPage;
};

}  // namespace qavix
