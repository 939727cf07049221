#include "Deadline.h"

#include <cerrno>

namespace qavix::link {

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

timespec timeLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::nanoseconds>(deadline - Clock::now());
    timespec t{};
    if (left.count() > 0) {
        t.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
        t.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
    }
    return t;
}

int pollUntil(pollfd& pfd, Clock::time_point deadline) {
    for (;;) {
        pfd.revents = 0;
        const int ready = ::poll(&pfd, 1, millisecondsLeft(deadline));
        if (ready >= 0 || errno != EINTR) {
            return ready;
        }
    }
}

}  // namespace qavix::link
