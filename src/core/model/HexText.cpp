#include "model/HexText.h"

#include <algorithm>
#include <cstdio>

namespace qavix::hex {

namespace {

constexpr size_t kMaxHexDigits = 8;
constexpr size_t kMaxDecimalDigits = 9;

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

int decimalDigitValue(char c) {
    return (c >= '0' && c <= '9') ? c - '0' : -1;
}

template <typename DigitValue>
std::optional<int32_t> readDigits(std::string_view text, size_t pos, size_t digits, uint32_t base,
                                  DigitValue digitValue) {
    if (digits == 0 || pos > text.size() || text.size() - pos < digits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (size_t i = pos; i < pos + digits; ++i) {
        const int d = digitValue(text[i]);
        if (d < 0) {
            return std::nullopt;
        }
        value = value * base + static_cast<uint32_t>(d);
    }
    return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> readHex(std::string_view text, size_t pos, size_t digits) {
    if (digits > kMaxHexDigits) {
        return std::nullopt;
    }
    return readDigits(text, pos, digits, 16, hexDigitValue);
}

std::optional<int32_t> readDecimal(std::string_view text, size_t pos, size_t digits) {
    if (digits > kMaxDecimalDigits) {
        return std::nullopt;
    }
    return readDigits(text, pos, digits, 10, decimalDigitValue);
}

std::optional<int32_t> parseHex(std::string_view text, size_t maxDigits) {
    if (text.size() > std::min(maxDigits, kMaxHexDigits)) {
        return std::nullopt;
    }
    return readHex(text, 0, text.size());
}

std::optional<int32_t> parseDecimal(std::string_view text, size_t maxDigits) {
    if (text.size() > std::min(maxDigits, kMaxDecimalDigits)) {
        return std::nullopt;
    }
    return readDecimal(text, 0, text.size());
}

std::string byteHex(int32_t value) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(value) & 0xFFu);
    return buf;
}

std::string wordHex(int32_t value) {
    char buf[5];
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(value) & 0xFFFFu);
    return buf;
}

std::string decimal2(int32_t value) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02d", std::clamp(value, 0, 99));
    return buf;
}

std::string charCodes(std::string_view text, size_t width, char pad) {
    std::string out;
    out.reserve(width * 2);
    for (size_t i = 0; i < width; ++i) {
        const char c = i < text.size() ? text[i] : pad;
        out += byteHex(static_cast<unsigned char>(c));
    }
    return out;
}

std::optional<std::string> fromCharCodes(std::string_view hexText) {
    if (hexText.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    bool ended = false;
    for (size_t pos = 0; pos < hexText.size(); pos += 2) {
        const auto code = readHex(hexText, pos, 2);
        if (!code) {
            return std::nullopt;
        }
        ended = ended || *code == 0;
        if (!ended) {
            out += static_cast<char>(*code);
        }
    }
    return out;
}

bool isPlainText(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

}  // namespace qavix::hex
