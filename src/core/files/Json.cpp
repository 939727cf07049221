#include "files/Json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

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

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

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
            const size_t length = utf8Length(s, i);
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

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Parser {
  public:
    explicit Parser(std::string_view text) : m_text(text) {}

    std::optional<Value> document(std::string& error) {
        std::optional<Value> value = parseValue(0);
        if (value) {
            skipBlanks();
            if (m_at != m_text.size()) {
                fail("text after the value");
                value.reset();
            }
        }
        if (!value) {
            error = m_error + " at byte " + std::to_string(m_at);
        }
        return value;
    }

  private:
    std::optional<Value> fail(const std::string& why) {
        if (m_error.empty()) {
            m_error = why;
        }
        return std::nullopt;
    }

    void skipBlanks() {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' ||
                                        m_text[m_at] == '\n' || m_text[m_at] == '\r')) {
            ++m_at;
        }
    }

    bool take(char c) {
        skipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool word(std::string_view w) {
        if (m_text.substr(m_at, w.size()) == w) {
            m_at += w.size();
            return true;
        }
        return false;
    }

    std::optional<Value> parseValue(int depth) {
        if (depth > kMaxDepth) {
            return fail("nested too deeply");
        }
        skipBlanks();
        if (m_at >= m_text.size()) {
            return fail("a value is missing");
        }
        const char c = m_text[m_at];
        if (c == '{') {
            return parseObject(depth);
        }
        if (c == '[') {
            return parseArray(depth);
        }
        if (c == '"') {
            std::string s;
            if (!parseString(s)) {
                return std::nullopt;
            }
            return Value(std::move(s));
        }
        if (word("true")) {
            return Value(true);
        }
        if (word("false")) {
            return Value(false);
        }
        if (word("null")) {
            return Value();
        }
        return parseNumber();
    }

    std::optional<Value> parseObject(int depth) {
        ++m_at;
        Value object = Value::object();
        if (take('}')) {
            return object;
        }
        do {
            skipBlanks();
            std::string key;
            if (m_at >= m_text.size() || m_text[m_at] != '"' || !parseString(key)) {
                return fail("a member name is missing");
            }
            if (!take(':')) {
                return fail("':' is missing");
            }
            std::optional<Value> value = parseValue(depth + 1);
            if (!value) {
                return std::nullopt;
            }
            object.set(key, std::move(*value));
        } while (take(','));
        if (!take('}')) {
            return fail("'}' is missing");
        }
        return object;
    }

    std::optional<Value> parseArray(int depth) {
        ++m_at;
        Value array = Value::array();
        if (take(']')) {
            return array;
        }
        do {
            std::optional<Value> value = parseValue(depth + 1);
            if (!value) {
                return std::nullopt;
            }
            array.push(std::move(*value));
        } while (take(','));
        if (!take(']')) {
            return fail("']' is missing");
        }
        return array;
    }

    bool hex4(unsigned& code) {
        if (m_at + 4 > m_text.size()) {
            return false;
        }
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = m_text[m_at++];
            code <<= 4;
            if (h >= '0' && h <= '9') {
                code |= static_cast<unsigned>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                code |= static_cast<unsigned>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                code |= static_cast<unsigned>(h - 'A' + 10);
            } else {
                return false;
            }
        }
        return true;
    }

    bool parseString(std::string& out) {
        ++m_at;  // the opening quote
        while (m_at < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_at]);
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (c < 0x20) {
                fail("a control character in a string");
                return false;
            }
            if (c != '\\') {
                const size_t length = utf8Length(m_text, m_at);
                if (length == 0) {
                    fail("a string that is not UTF-8");
                    return false;
                }
                out.append(m_text, m_at, length);
                m_at += length;
                continue;
            }
            ++m_at;
            if (m_at >= m_text.size()) {
                break;
            }
            const char e = m_text[m_at++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code = 0;
                    if (!hex4(code)) {
                        fail("a bad \\u escape");
                        return false;
                    }
                    if (code >= 0xD800 && code <= 0xDBFF) {
                        unsigned low = 0;
                        if (!word("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                            fail("an unpaired surrogate");
                            return false;
                        }
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xDC00 && code <= 0xDFFF) {
                        fail("an unpaired surrogate");
                        return false;
                    }
                    appendUtf8(out, code);
                    break;
                }
                default:
                    fail("a bad escape");
                    return false;
            }
        }
        fail("a string is not closed");
        return false;
    }

    std::optional<Value> parseNumber() {
        const size_t start = m_at;
        auto digits = [&] {
            const size_t from = m_at;
            while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
                ++m_at;
            }
            return m_at - from;
        };
        if (m_at < m_text.size() && m_text[m_at] == '-') {
            ++m_at;
        }
        if (m_at < m_text.size() && m_text[m_at] == '0') {
            ++m_at;
        } else if (digits() == 0) {
            return fail("not a JSON value");
        }
        if (m_at < m_text.size() && m_text[m_at] == '.') {
            ++m_at;
            if (digits() == 0) {
                return fail("a digit is missing");
            }
        }
        if (m_at < m_text.size() && (m_text[m_at] == 'e' || m_text[m_at] == 'E')) {
            ++m_at;
            if (m_at < m_text.size() && (m_text[m_at] == '+' || m_text[m_at] == '-')) {
                ++m_at;
            }
            if (digits() == 0) {
                return fail("a digit is missing");
            }
        }
        double value = 0;
        const auto result = std::from_chars(m_text.data() + start, m_text.data() + m_at, value);
        if (result.ec != std::errc()) {
            return fail("a number out of range");
        }
        return Value(value);
    }

    std::string_view m_text;
    size_t m_at = 0;
    std::string m_error;
};

}  // namespace

std::string write(const Value& value) {
    std::string out;
    writeValue(out, value, 0);
    out += '\n';
    return out;
}

std::optional<Value> parse(std::string_view text, std::string& error) {
    return Parser(text).document(error);
}

}  // namespace qavix::json
