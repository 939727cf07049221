#include "files/JsonWriter.h"

#include <charconv>
#include <cmath>

#include "Utf8.h"

namespace qavix::json {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr const char kHexDigits[] = "0123456789abcdef";

void appendControlEscape(std::string& out, unsigned char c) {
    out += "\\u00";
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0x0F];
}

}  // namespace

void appendString(std::string& out, std::string_view s) {
    out += '"';
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            const size_t length = utf8::sequenceLength(s, i);
            if (length == 0) {
                out += kReplacement;
                ++i;
            } else {
                out.append(s, i, length);
                i += length;
            }
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            appendControlEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    out += '"';
}

void appendNumber(std::string& out, double number) {
    if (!std::isfinite(number)) {
        out += "null";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
}

void Writer::newLine(size_t depth) {
    m_out += '\n';
    m_out.append(depth * 2, ' ');
}

void Writer::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_first.empty()) {
        return;
    }
    if (!m_first.back()) {
        m_out += ',';
    }
    m_first.back() = false;
    if (m_layout == Layout::Indented) {
        newLine(m_first.size());
    }
}

void Writer::close(char bracket) {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (m_layout == Layout::Indented && !empty) {
        newLine(m_first.size());
    }
    m_out += bracket;
}

Writer& Writer::beginObject() {
    separate();
    m_out += '{';
    m_first.push_back(true);
    return *this;
}

Writer& Writer::endObject() {
    close('}');
    return *this;
}

Writer& Writer::beginArray() {
    separate();
    m_out += '[';
    m_first.push_back(true);
    return *this;
}

Writer& Writer::endArray() {
    close(']');
    return *this;
}

Writer& Writer::key(std::string_view name) {
    separate();
    appendString(m_out, name);
    m_out += m_layout == Layout::Indented ? ": " : ":";
    m_afterKey = true;
    return *this;
}

Writer& Writer::value(std::string_view text) {
    separate();
    appendString(m_out, text);
    return *this;
}

Writer& Writer::value(std::int64_t number) {
    separate();
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    m_out.append(buffer, result.ptr);
    return *this;
}

Writer& Writer::value(std::uint64_t number) {
    separate();
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    m_out.append(buffer, result.ptr);
    return *this;
}

Writer& Writer::value(bool flag) {
    separate();
    m_out += flag ? "true" : "false";
    return *this;
}

Writer& Writer::value(double number) {
    separate();
    appendNumber(m_out, number);
    return *this;
}

Writer& Writer::fixed(double number, int decimals) {
    if (!std::isfinite(number)) {
        return null();
    }
    separate();
    char buffer[352];  // the longest fixed form of a double with a few decimals
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        m_out += "null";
        return *this;
    }
    m_out.append(buffer, result.ptr);
    return *this;
}

Writer& Writer::null() {
    separate();
    m_out += "null";
    return *this;
}

}  // namespace qavix::json
