#pragma once
// Waiting for a condition with a bound instead of sleeping a fixed time: as short as the
// machine allows, and never forever when the condition does not come.

#include <chrono>
#include <thread>

namespace qavix::test {

// Whether `done()` held within `limit` (looked at every `step`, and once more at the end).
template <typename Condition>
bool waitUntil(Condition done, std::chrono::milliseconds limit,
               std::chrono::milliseconds step = std::chrono::milliseconds(10)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(step);
    }
    return done();
}

}  // namespace qavix::test
