#pragma once
// The communication trace: numbered lines of frames sent and received, the newest 300 kept.

#include <deque>
#include <string>
#include <string_view>

namespace qavix {

constexpr size_t kTraceLineLimit = 300;
constexpr int kTraceLinePixels = 20;  // line height the reduced display is counted in

// "[STX]payload[ETX]c" for a frame made of STX, payload, ETX and one check character.
std::string formatTraceFrame(std::string_view frame);

class TraceLog {
  public:
    enum Direction { Received = 0, Sent = 1 };

    void addLine(std::string_view frameText, Direction direction);
    void recordExchange(std::string_view sent, std::string_view received);

    const std::deque<std::string>& lines() const { return m_lines; }
    int lineCount() const { return m_lineCount; }

    // The text the view shows: every line, or while busy only as many of the oldest as
    // fit in `viewHeight` pixels, each followed by CR LF.
    std::string displayText(bool reduced, int viewHeight) const;

  private:
    std::deque<std::string> m_lines;
    int m_nextNumber = 1;
    int m_lineCount = 0;
};

}  // namespace qavix
