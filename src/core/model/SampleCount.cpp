#include "model/SampleCount.h"

#include <algorithm>

namespace qavix::scan {

namespace {

// U+FF10 FULLWIDTH DIGIT ZERO in UTF-8 is EF BC 90; the ten digits differ in the last byte.
constexpr unsigned char kFullWidthLead0 = 0xEF;
constexpr unsigned char kFullWidthLead1 = 0xBC;
constexpr unsigned char kFullWidthZero = 0x90;
constexpr unsigned char kFullWidthNine = 0x99;

bool isFullWidthDigit(std::string_view s, size_t i) {
    if (s.size() < 3 || i > s.size() - 3) {
        return false;
    }
    const auto b0 = static_cast<unsigned char>(s[i]);
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    const auto b2 = static_cast<unsigned char>(s[i + 2]);
    return b0 == kFullWidthLead0 && b1 == kFullWidthLead1 && b2 >= kFullWidthZero &&
           b2 <= kFullWidthNine;
}

}  // namespace

std::string halfWidthDigits(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        if (isFullWidthDigit(utf8, i)) {
            out +=
                static_cast<char>('0' + (static_cast<unsigned char>(utf8[i + 2]) - kFullWidthZero));
            i += 3;
        } else {
            out += utf8[i];
            ++i;
        }
    }
    return out;
}

SampleCount parseSampleCount(std::string_view utf8) {
    const std::string text = halfWidthDigits(utf8);
    size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string::npos) {
        pos = text.size();
    }
    long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        // Past the limit the exact value no longer matters; stop before it can overflow.
        value = std::min(value * 10 + (text[pos] - '0'), static_cast<long>(kMaxSamplesShown) + 1);
    }
    SampleCount result;
    result.value = static_cast<int>(std::clamp(value, static_cast<long>(kMinSamplesShown),
                                               static_cast<long>(kMaxSamplesShown)));
    result.text = std::to_string(result.value);
    return result;
}

}  // namespace qavix::scan
