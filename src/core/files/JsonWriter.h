#pragma once
// The program's one JSON writer: the monitor's compact payloads and the indented documents
// of the backup manifest and the drift report (json::write) both go through it. Numbers are
// written with std::to_chars, never through the locale, so a decimal comma cannot spoil a
// document; strings are escaped as RFC 8259 asks, with bytes that are no UTF-8 replaced.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::json {

// `text` as a JSON string, quotes included: control characters escaped, bytes that are no
// UTF-8 replaced by U+FFFD, so the document always parses.
void appendString(std::string& out, std::string_view text);

// `number` in its shortest form that reads back the same ("0.25", "13"); null when it is
// not finite, since JSON has no infinity.
void appendNumber(std::string& out, double number);

class Writer {
  public:
    enum class Layout {
        Compact,  // one line, no blanks: a message payload
        Indented  // two blanks a level, one member a line: a file a person may read
    };

    explicit Writer(Layout layout = Layout::Compact) : m_layout(layout) {}

    Writer& beginObject();
    Writer& endObject();
    Writer& beginArray();
    Writer& endArray();
    // The name of the next member of the enclosing object.
    Writer& key(std::string_view name);

    Writer& value(std::string_view text);
    Writer& value(const char* text) { return value(std::string_view(text)); }
    Writer& value(const std::string& text) { return value(std::string_view(text)); }
    Writer& value(std::int64_t number);
    Writer& value(int number) { return value(static_cast<std::int64_t>(number)); }
    Writer& value(std::uint64_t number);
    Writer& value(bool flag);
    Writer& value(double number);
    // A number with `decimals` digits after the point, trailing zeros kept (131.0).
    Writer& fixed(double number, int decimals);
    Writer& null();

    const std::string& text() const { return m_out; }
    std::string take() { return std::move(m_out); }
    void reserve(size_t bytes) { m_out.reserve(bytes); }

  private:
    void separate();
    void close(char bracket);
    void newLine(size_t depth);

    Layout m_layout;
    std::string m_out;
    // One entry per open object or array: true until its first member is written.
    std::vector<bool> m_first;
    bool m_afterKey = false;
};

}  // namespace qavix::json
