#include "comm/TraceLog.h"

#include <algorithm>
#include <cstdio>

namespace qavix {

std::string formatTraceFrame(std::string_view frame) {
    // Start character, payload, end character, check character.
    if (frame.size() < 3) {
        return std::string(frame);
    }
    std::string out = "[STX]";
    out.append(frame.substr(1, frame.size() - 3));
    out += "[ETX]";
    out += frame.back();
    return out;
}

void TraceLog::addLine(std::string_view frameText, Direction direction) {
    char number[16];
    std::snprintf(number, sizeof number, "%4d", m_nextNumber);
    ++m_nextNumber;
    ++m_lineCount;
    std::string line = number;
    line += direction == Sent ? " S > " : " R > ";
    line.append(frameText);
    m_lines.push_back(std::move(line));
    if (m_lines.size() > kTraceLineLimit) {
        m_lines.pop_front();
    }
}

void TraceLog::recordExchange(std::string_view sent, std::string_view received) {
    addLine(formatTraceFrame(sent), Sent);
    addLine(formatTraceFrame(received), Received);
}

std::string TraceLog::displayText(bool reduced, int viewHeight) const {
    size_t shown = m_lines.size();
    if (reduced) {
        shown = std::min(shown, static_cast<size_t>(std::max(viewHeight, 0) / kTraceLinePixels));
    }
    std::string text;
    for (size_t i = 0; i < shown; ++i) {
        text += m_lines[i];
        text += "\r\n";
    }
    return text;
}

}  // namespace qavix
