#include "IniText.h"

#include <cstdio>
#include <optional>

#include "ShiftJis.h"
#include "Translate.h"
#include "Utf8.h"

namespace qavix::ini {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

std::string hexByte(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned>(c));
    return text;
}

constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kC1Lead = 0xC2;  // UTF-8 of U+0080..U+009F: C2 80..C2 9F
constexpr unsigned char kC1First = 0x80;
constexpr unsigned char kC1Last = 0x9F;

bool startsC1(std::string_view text, size_t at) {
    return at + 1 < text.size() && static_cast<unsigned char>(text[at]) == kC1Lead &&
           static_cast<unsigned char>(text[at + 1]) >= kC1First &&
           static_cast<unsigned char>(text[at + 1]) <= kC1Last;
}

bool isC1(std::string_view utf8) {
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (startsC1(utf8, i)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string textProblem(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == 0) {
            return i18n::fill(QX_("NUL バイトがあります（オフセット %1）"), {std::to_string(i)});
        }
        if ((c < 0x20 && c != '\t' && !isLineEnd(static_cast<char>(c))) || c == kDelete) {
            return i18n::fill(QX_("制御文字 %1 があります（オフセット %2）"),
                              {hexByte(c), std::to_string(i)});
        }
    }
    const sjis::Conversion decoded = sjis::fromCp932(bytes);
    if (!decoded.complete) {
        return i18n::fill(QX_("Shift-JIS のテキストではありません（オフセット %1）"),
                          {std::to_string(decoded.firstFailure)});
    }
    // Code page 932 gives a few single bytes to the C1 controls.
    if (isC1(decoded.text)) {
        return QX_("制御文字があります");
    }
    return {};
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isLineEnd(text[i])) {
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string_view> headerName(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    const size_t close = t.rfind(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(t.substr(1, close - 1));
}

Entry parseEntry(std::string_view line) {
    Entry entry;
    const std::string_view t = trim(line);
    if (t.empty()) {
        return entry;
    }
    if (t.front() == ';') {
        entry.kind = Entry::Comment;
        return entry;
    }
    entry.kind = Entry::Key;
    const size_t equals = t.find('=');
    if (equals == std::string_view::npos) {
        entry.key = t;
        return entry;
    }
    entry.key = trim(t.substr(0, equals));
    entry.value = trim(t.substr(equals + 1));
    return entry;
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == kDelete) {
            out += hexByte(c);
            ++i;
            continue;
        }
        const size_t length = utf8::sequenceLength(text, i);
        if (length == 0 || startsC1(text, i)) {
            // Not UTF-8 (a terminal of 8-bit controls takes a lone 0x9B as CSI), or a C1
            // control: each byte written out.
            const size_t bytes = length == 0 ? 1 : length;
            for (size_t k = 0; k < bytes; ++k) {
                out += hexByte(static_cast<unsigned char>(text[i + k]));
            }
            i += bytes;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace qavix::ini

namespace qavix::ini {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool startsComment(char c) {
    return c == ';' || c == '#';
}

// Where a comment starts in an unquoted value: a ';' or '#' at its start or after a blank.
size_t commentStart(std::string_view value) {
    for (size_t i = 0; i < value.size(); ++i) {
        if (startsComment(value[i]) && (i == 0 || isBlank(value[i - 1]))) {
            return i;
        }
    }
    return std::string_view::npos;
}

int lineOfOffset(std::string_view text, size_t offset) {
    int line = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

// The text as UTF-8, or a problem: UTF-8 first, since Shift-JIS would take most UTF-8
// apart into other characters without complaint.
bool decodeText(std::string_view bytes, std::string& text, SettingsText& out) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    if (utf8::isValid(bytes)) {
        text = std::string(bytes);
    } else {
        const sjis::Conversion decoded = sjis::fromCp932(bytes);
        if (!decoded.complete) {
            out.problems.push_back({lineOfOffset(bytes, decoded.firstFailure),
                                    QX_("UTF-8 でも Shift-JIS でもないバイト")});
            return false;
        }
        text = decoded.text;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && !isLineEnd(static_cast<char>(c))) || c == kDelete) {
            out.problems.push_back(
                {lineOfOffset(text, i), i18n::fill(QX_("行の中の制御文字 %1"), {hexByte(c)})});
            return false;
        }
    }
    return true;
}

class SettingsReader {
  public:
    explicit SettingsReader(SettingsText& out) : m_out(out) {}

    void line(int number, std::string_view raw) {
        const std::string_view t = trim(raw);
        if (t.empty() || startsComment(t.front())) {
            return;
        }
        if (t.front() == '[') {
            header(number, t);
            return;
        }
        const size_t equals = t.find('=');
        if (equals == std::string_view::npos) {
            problem(number, QX_("key = value または [section] の形ではありません"));
            return;
        }
        const std::string_view key = trim(t.substr(0, equals));
        if (key.empty()) {
            problem(number, QX_("キーのない値"));
            return;
        }
        std::string value;
        if (!takeValue(number, trim(t.substr(equals + 1)), value)) {
            return;
        }
        for (const SettingLine& earlier : m_out.settings) {
            if (earlier.section == m_section && sameName(earlier.key, key)) {
                problem(number, i18n::fill(QX_("キー '%1' が2回あります（最初は %2 行目）"),
                                           {printable(key), std::to_string(earlier.line)}));
                return;
            }
        }
        m_out.settings.push_back({m_section, std::string(key), std::move(value), number});
    }

  private:
    void problem(int number, std::string message) {
        m_out.problems.push_back({number, std::move(message)});
    }

    void header(int number, std::string_view t) {
        const size_t close = t.find(']');
        if (close == std::string_view::npos) {
            problem(number, QX_("セクションの見出しは ']' で終わる必要があります"));
            return;
        }
        const std::string_view after = trim(t.substr(close + 1));
        if (!after.empty() && !startsComment(after.front())) {
            problem(number, QX_("セクションの見出しの後にテキストがあります"));
            return;
        }
        const std::string_view name = trim(t.substr(1, close - 1));
        m_section = std::string(name);
        for (const SectionLine& earlier : m_out.sections) {
            if (sameName(earlier.name, name)) {
                problem(number, i18n::fill(QX_("セクション [%1] が2回あります（最初は %2 行目）"),
                                           {printable(name), std::to_string(earlier.line)}));
                return;
            }
        }
        m_out.sections.push_back({m_section, number});
    }

    bool takeValue(int number, std::string_view v, std::string& value) {
        if (v.empty() || v.front() != '"') {
            value = std::string(trim(v.substr(0, commentStart(v))));
            return true;
        }
        const size_t close = v.find('"', 1);
        if (close == std::string_view::npos) {
            problem(number, QX_("引用符で始まる値に閉じる引用符がありません"));
            return false;
        }
        const std::string_view after = trim(v.substr(close + 1));
        if (!after.empty() && !startsComment(after.front())) {
            problem(number, QX_("閉じる引用符の後にテキストがあります"));
            return false;
        }
        value = std::string(v.substr(1, close - 1));
        return true;
    }

    SettingsText& m_out;
    std::string m_section;
};

}  // namespace

SettingsText readSettingsText(std::string_view bytes) {
    SettingsText out;
    if (bytes.size() > kMaxFileSize) {
        out.problems.push_back({0, QX_("設定テキストとしては大きすぎます")});
        return out;
    }
    std::string text;
    if (!decodeText(bytes, text, out)) {
        return out;
    }
    SettingsReader reader(out);
    int number = 0;
    for (const std::string_view line : splitLines(text)) {
        reader.line(++number, line);
    }
    return out;
}

std::optional<std::string> settingValueText(std::string_view value) {
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == kDelete) {
            return std::nullopt;
        }
    }
    const bool plain = value.empty() || (trim(value) == value && value.front() != '"' &&
                                         commentStart(value) == std::string_view::npos);
    if (plain) {
        return std::string(value);
    }
    if (value.find('"') != std::string_view::npos) {
        return std::nullopt;
    }
    return "\"" + std::string(value) + "\"";
}

std::optional<bool> truthValue(std::string_view value) {
    if (value == "true" || value == "yes" || value == "1" || value == "on") {
        return true;
    }
    if (value == "false" || value == "no" || value == "0" || value == "off") {
        return false;
    }
    return std::nullopt;
}

}  // namespace qavix::ini
