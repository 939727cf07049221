// The reader of the small JSON model: strict JSON, strings checked as UTF-8, nesting bounded.
#include <charconv>
#include <string>

#include "Translate.h"
#include "Utf8.h"
#include "files/Json.h"

namespace qavix::json {

namespace {

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
                fail(QX_("値の後に余分なテキストがあります"));
                value.reset();
            }
        }
        if (!value) {
            error = i18n::fill(QX_("%1（%2 バイト目）"), {m_error, std::to_string(m_at)});
        }
        return value;
    }

  private:
    std::optional<Value> fail(const char* why) {
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
            return fail(QX_("入れ子が深すぎます"));
        }
        skipBlanks();
        if (m_at >= m_text.size()) {
            return fail(QX_("値がありません"));
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
                return fail(QX_("メンバー名がありません"));
            }
            if (!take(':')) {
                return fail(QX_("':' がありません"));
            }
            std::optional<Value> value = parseValue(depth + 1);
            if (!value) {
                return std::nullopt;
            }
            object.set(key, std::move(*value));
        } while (take(','));
        if (!take('}')) {
            return fail(QX_("'}' がありません"));
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
            return fail(QX_("']' がありません"));
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
                fail(QX_("文字列に制御文字があります"));
                return false;
            }
            if (c == '\\') {
                ++m_at;
                if (m_at >= m_text.size()) {
                    break;
                }
                if (!parseEscape(out)) {
                    return false;
                }
                continue;
            }
            const size_t length = utf8::sequenceLength(m_text, m_at);
            if (length == 0) {
                fail(QX_("UTF-8 でない文字列があります"));
                return false;
            }
            out.append(m_text, m_at, length);
            m_at += length;
        }
        fail(QX_("文字列が閉じていません"));
        return false;
    }

    // The character after a backslash, at m_at.
    bool parseEscape(std::string& out) {
        const char e = m_text[m_at++];
        switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                return true;
            case 'b':
                out += '\b';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'u':
                return parseUnicodeEscape(out);
            default:
                fail(QX_("不正なエスケープがあります"));
                return false;
        }
    }

    // The four hex digits after "\u"; a high surrogate must be followed by its low half.
    bool parseUnicodeEscape(std::string& out) {
        unsigned code = 0;
        if (!hex4(code)) {
            fail(QX_("不正な \\u エスケープがあります"));
            return false;
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            unsigned low = 0;
            if (!word("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                fail(QX_("対になっていないサロゲートがあります"));
                return false;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            fail(QX_("対になっていないサロゲートがあります"));
            return false;
        }
        appendUtf8(out, code);
        return true;
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
            return fail(QX_("JSON の値ではありません"));
        }
        if (m_at < m_text.size() && m_text[m_at] == '.') {
            ++m_at;
            if (digits() == 0) {
                return fail(QX_("数字がありません"));
            }
        }
        if (m_at < m_text.size() && (m_text[m_at] == 'e' || m_text[m_at] == 'E')) {
            ++m_at;
            if (m_at < m_text.size() && (m_text[m_at] == '+' || m_text[m_at] == '-')) {
                ++m_at;
            }
            if (digits() == 0) {
                return fail(QX_("数字がありません"));
            }
        }
        double value = 0;
        const auto result = std::from_chars(m_text.data() + start, m_text.data() + m_at, value);
        if (result.ec != std::errc()) {
            return fail(QX_("範囲外の数値があります"));
        }
        return Value(value);
    }

    std::string_view m_text;
    size_t m_at = 0;
    std::string m_error;
};

}  // namespace

std::optional<Value> parse(std::string_view text, std::string& error) {
    return Parser(text).document(error);
}

}  // namespace qavix::json
