#pragma once
// The controller's end of the line: takes the bytes a client sent, runs each request frame
// through a command handler (the emulator) and returns the reply frames, with the line
// faults the emulator can be asked to show. Used by qavix-sim on a pseudo-terminal and by
// the link library's built-in emulator port, so both behave alike on the wire.

#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "Frame.h"
#include "sim/Command.h"

namespace qavix::link {

struct LineFaults {
    int dropEvery = 0;     // swallow every N-th reply; 0 never
    int corruptEvery = 0;  // spoil the check character of every N-th reply; 0 never
    int hangAfter = -1;    // answer no request after the first N; negative never
    bool logTimes = false;  // start each log line with the steady clock in milliseconds
};

struct ServedReply {
    std::string frame;         // ready to send
    std::size_t requestChars;  // size of the request frame it answers, for line timing
};

class FrameServer {
  public:
    using Handler = std::function<sim::Response(const sim::Command&)>;

    FrameServer(Handler handler, LineFaults faults, std::ostream* log = nullptr);

    // One entry per request frame in bytes that gets an answer; bytes of an unfinished
    // frame are kept for the next call.
    std::vector<ServedReply> feed(std::string_view bytes);

    int requestsServed() const { return m_requests; }

  private:
    std::string serve(const ReceivedFrame& frame);
    std::string applyFaults(std::string frame);
    void logRequest(const sim::Command& command, std::string_view payload);

    Handler m_handler;
    LineFaults m_faults;
    std::ostream* m_log;
    FrameScanner m_scanner;
    int m_requests = 0;
    int m_replies = 0;
};

// Time a serial line needs to carry chars characters of bitsPerChar bits at baud.
std::chrono::microseconds lineTime(std::size_t chars, int bitsPerChar, int baud);

}  // namespace qavix::link
