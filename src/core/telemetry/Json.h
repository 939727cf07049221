#pragma once
// A small JSON writer for the monitor's payloads: objects, arrays, strings escaped as
// RFC 8259 asks (invalid UTF-8 replaced, so a payload always parses), integers and numbers
// with a fixed count of decimals.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::telemetry {

class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member of the enclosing object.
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
    JsonWriter& value(bool flag);
    // A number with `decimals` digits after the point (trailing zeros kept: 131.0).
    JsonWriter& number(double number, int decimals);
    JsonWriter& null();

    const std::string& text() const { return m_out; }
    std::string take() { return std::move(m_out); }
    void reserve(size_t bytes) { m_out.reserve(bytes); }

  private:
    void separate();

    std::string m_out;
    // One entry per open object or array: true until its first member is written.
    std::vector<bool> m_first;
    bool m_afterKey = false;
};

// `text` as a JSON string, quotes included.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace qavix::telemetry
