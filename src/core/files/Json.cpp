#include "files/Json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "files/JsonUtf8.h"

namespace qavix::json {

Value& Value::set(const std::string& key, Value value) {
    for (auto& member : m_members) {
        if (member.first == key) {
            member.second = std::move(value);
            return member.second;
        }
    }
    m_members.emplace_back(key, std::move(value));
    return m_members.back().second;
}

Value& Value::push(Value value) {
    m_items.push_back(std::move(value));
    return m_items.back();
}

const Value* Value::find(std::string_view key) const {
    for (const auto& member : m_members) {
        if (member.first == key) {
            return &member.second;
        }
    }
    return nullptr;
}

std::string Value::stringOf(std::string_view key, const std::string& fallback) const {
    const Value* member = find(key);
    return member != nullptr && member->isString() ? member->asString() : fallback;
}

std::optional<int64_t> Value::integer() const {
    constexpr double kLargestExact = 9007199254740992.0;
    if (m_type != Type::Number || !(std::fabs(m_number) <= kLargestExact) ||
        std::floor(m_number) != m_number) {
        return std::nullopt;
    }
    return static_cast<int64_t>(m_number);
}

int Value::intOf(std::string_view key, int fallback) const {
    const Value* member = find(key);
    const std::optional<int64_t> n = member != nullptr ? member->integer() : std::nullopt;
    if (!n) {
        return fallback;
    }
    return static_cast<int>(
        std::clamp<int64_t>(*n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

namespace detail {

// Length of a valid UTF-8 sequence starting at `at`, or 0.
size_t utf8Length(std::string_view s, size_t at) {
    const auto lead = static_cast<unsigned char>(s[at]);
    size_t length = 0;
    unsigned min = 0;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
    }
    if (length == 0 || at + length > s.size()) {
        return 0;
    }
    unsigned code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(s[at + i]);
        if ((byte & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are no valid UTF-8.
    if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

}  // namespace detail

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

void appendString(std::string& out, std::string_view s) {
    out += '"';
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
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
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else if (c >= 0x80) {
            const size_t length = detail::utf8Length(s, i);
            if (length == 0) {
                out += kReplacement;
                ++i;
                continue;
            }
            out.append(s, i, length);
            i += length;
            continue;
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    out += '"';
}

namespace {

// Locale-independent both ways: a decimal comma would make the document unreadable.
void writeNumber(std::string& out, double n) {
    if (!std::isfinite(n)) {
        out += "null";  // JSON has no infinity; no value the program writes is one
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    out.append(buffer, result.ptr);
}

void writeValue(std::string& out, const Value& v, int depth) {
    const std::string indent(static_cast<size_t>(depth + 1) * 2, ' ');
    const std::string closing(static_cast<size_t>(depth) * 2, ' ');
    switch (v.type()) {
        case Value::Type::Null:
            out += "null";
            return;
        case Value::Type::Bool:
            out += v.asBool() ? "true" : "false";
            return;
        case Value::Type::Number:
            writeNumber(out, v.asNumber());
            return;
        case Value::Type::String:
            appendString(out, v.asString());
            return;
        case Value::Type::Array:
            if (v.items().empty()) {
                out += "[]";
                return;
            }
            out += "[\n";
            for (size_t i = 0; i < v.items().size(); ++i) {
                out += indent;
                writeValue(out, v.items()[i], depth + 1);
                out += i + 1 < v.items().size() ? ",\n" : "\n";
            }
            out += closing + "]";
            return;
        case Value::Type::Object:
            if (v.members().empty()) {
                out += "{}";
                return;
            }
            out += "{\n";
            for (size_t i = 0; i < v.members().size(); ++i) {
                out += indent;
                appendString(out, v.members()[i].first);
                out += ": ";
                writeValue(out, v.members()[i].second, depth + 1);
                out += i + 1 < v.members().size() ? ",\n" : "\n";
            }
            out += closing + "}";
            return;
    }
}

}  // namespace

std::string write(const Value& value) {
    std::string out;
    writeValue(out, value, 0);
    out += '\n';
    return out;
}

}  // namespace qavix::json
