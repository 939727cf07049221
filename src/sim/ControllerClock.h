#pragma once
// The controller's real-time clock: the PC's time plus an offset that setting the clock
// changes. The PC time comes from an injectable source so tests can move time.

#include <chrono>
#include <functional>
#include <string>

namespace qavix::sim {

using TimePoint = std::chrono::system_clock::time_point;
using TimeSource = std::function<TimePoint()>;

// std::chrono::system_clock::now, the default time source.
TimePoint systemTime();

class ControllerClock {
  public:
    explicit ControllerClock(TimeSource pcTime);

    TimePoint now() const;

    // "YYMMDDhhmmssWW": seven two-digit decimals in local time, WW the weekday (0 Sunday).
    std::string text() const;

    // Takes the same form; the weekday is recomputed from the date. Returns false and
    // changes nothing when the text is not a valid date and time of 2000..2099.
    bool set(const std::string& text);

  private:
    TimeSource m_pcTime;
    std::chrono::seconds m_offset{0};
};

// Local broken-down time of `t` formatted as "YYMMDDhhmmss".
std::string formatClockDigits(TimePoint t);

}  // namespace qavix::sim
