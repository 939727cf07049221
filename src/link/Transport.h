#pragma once
// A byte pipe to a controller: a serial device or the built-in emulator. Every wait ends
// at the caller's deadline, so no call of the link library can hang.

#include <chrono>
#include <string>
#include <string_view>

namespace qavix::link {

using Clock = std::chrono::steady_clock;

enum class IoStatus { Ok, TimedOut, Failed };

class Transport {
  public:
    virtual ~Transport() = default;

    virtual IoStatus write(std::string_view bytes, Clock::time_point deadline) = 0;
    // Appends whatever arrives to out, waiting until the deadline for at least one byte.
    virtual IoStatus read(std::string& out, Clock::time_point deadline) = 0;
    // Drops bytes that arrived after the previous exchange ended, late replies included.
    virtual void discardInput() = 0;
};

}  // namespace qavix::link
