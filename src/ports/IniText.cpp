#include "IniText.h"

#include <cstdio>

#include "ShiftJis.h"

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

// Length of the well-formed UTF-8 sequence at `at`, or 0 when there is none.
size_t utf8Length(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
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
            return "holds a NUL byte (offset " + std::to_string(i) + ")";
        }
        if ((c < 0x20 && c != '\t' && !isLineEnd(static_cast<char>(c))) || c == kDelete) {
            return "holds the control character " + hexByte(c) + " (offset " + std::to_string(i) +
                   ")";
        }
    }
    const sjis::Conversion decoded = sjis::fromCp932(bytes);
    if (!decoded.complete) {
        return "is no Shift-JIS text (offset " + std::to_string(decoded.firstFailure) + ")";
    }
    // Code page 932 gives a few single bytes to the C1 controls.
    if (isC1(decoded.text)) {
        return "holds a control character";
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
        const size_t length = utf8Length(text, i);
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
