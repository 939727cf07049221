#pragma once
// The frame layer of the link protocol (docs/protocol.md): STX, a printable payload, ETX and
// one check character. Shared by the link library and by qavix-sim.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qavix::link {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
// Longest payload a receiver accepts. A whole frame then still fits the 2048-byte trace
// buffers of the C interface with its terminating NUL.
constexpr std::size_t kMaxPayload = 2044;
constexpr std::size_t kFrameOverhead = 3;  // STX, ETX, check character

// '0' plus the sum of the payload bytes modulo 64: always printable, never STX or ETX.
char checkCharacter(std::string_view payload);

// A payload may hold any byte except the control characters 0x00..0x1F; the message layer
// escapes those. Empty result when the payload cannot be framed.
std::string encodeFrame(std::string_view payload);

struct ReceivedFrame {
    std::string raw;      // every byte from STX to the check character
    std::string payload;  // between STX and ETX
    bool checkOk = false;
};

// Splits a byte stream into frames. Bytes outside a frame, a frame cut short by a new STX,
// a frame holding a control character and one longer than kMaxPayload are skipped, so the
// scanner falls back in step at the next STX.
class FrameScanner {
  public:
    // Feeds one byte; returns a frame when this byte completed one.
    std::optional<ReceivedFrame> push(char byte);
    void reset();
    std::size_t skippedBytes() const { return m_skipped; }

  private:
    enum class State { Idle, Payload, Check };
    void discardPartial();

    State m_state = State::Idle;
    std::string m_payload;
    std::size_t m_skipped = 0;
};

}  // namespace qavix::link
