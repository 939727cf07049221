#pragma once
// Every wait of the connection in one place, so tests can shrink them to nothing.

#include <chrono>

#include "model/ControllerCodes.h"

namespace qavix {

struct CommTimings {
    std::chrono::milliseconds pollPeriod{2000};   // idle status check
    std::chrono::milliseconds retryDelay{100};    // between calls of a failing library entry
    std::chrono::milliseconds resetSettle{2000};  // after a reset, before the controller answers
    std::chrono::milliseconds waitSlice{10};      // UI thread's wait between event pumps
    // A controller that keeps asking to be looked at again (error block unreadable, reset
    // questions answered OK) is re-checked at this pace so the UI thread's wait stays calm.
    std::chrono::milliseconds recheckPause{100};
    // The longest one exchange with the controller may wait for its answer. Requests ask
    // for kRequestTimeoutMs; this caps them, so tests of a silent line need not sit through
    // it.
    std::chrono::milliseconds requestTimeout{kRequestTimeoutMs};
};
constexpr int kLibraryCallAttempts = 3;
constexpr int kStatusReadAttempts = 2;
// A controller in error state whose error block stays unreadable this many times in a row
// is no longer answering: the status check ends as a lost connection instead of asking again
// for ever.
constexpr int kErrorBlockReadAttempts = 3;

}  // namespace qavix
