#pragma once
// Every wait of the connection in one place, so tests can shrink them to nothing.

#include <chrono>

namespace qavix {

struct CommTimings {
    std::chrono::milliseconds pollPeriod{2000};   // idle status check
    std::chrono::milliseconds retryDelay{100};    // between calls of a failing library entry
    std::chrono::milliseconds resetSettle{2000};  // after a reset, before the controller answers
    std::chrono::milliseconds waitSlice{10};      // UI thread's wait between event pumps
};

// Time-outs handed to the link library.
constexpr int kRequestTimeoutMs = 1500;
constexpr int kLibraryCallAttempts = 3;
constexpr int kStatusReadAttempts = 2;

}  // namespace qavix
