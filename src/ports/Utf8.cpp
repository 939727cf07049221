#include "Utf8.h"

namespace qavix::utf8 {

namespace {

constexpr unsigned kLastAscii = 0x7F;
constexpr unsigned kSurrogateFirst = 0xD800;
constexpr unsigned kSurrogateLast = 0xDFFF;
constexpr unsigned kLastCodePoint = 0x10FFFF;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0u) == 0x80u;
}

}  // namespace

std::size_t sequenceLength(std::string_view text, std::size_t at) {
    if (at >= text.size()) {
        return 0;
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead <= kLastAscii) {
        return 1;
    }
    std::size_t length = 0;
    unsigned smallest = 0;  // below it the sequence is an overlong form
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    unsigned code = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[at + k]);
        if (!isContinuation(byte)) {
            return 0;
        }
        code = (code << 6) | (byte & 0x3Fu);
    }
    if (code < smallest || (code >= kSurrogateFirst && code <= kSurrogateLast) ||
        code > kLastCodePoint) {
        return 0;
    }
    return length;
}

std::size_t firstInvalid(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = sequenceLength(text, at);
        if (length == 0) {
            return at;
        }
        at += length;
    }
    return std::string_view::npos;
}

}  // namespace qavix::utf8
