#include "files/ColorValue.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace qavix {

namespace {

constexpr int kMaxComponent = 255;

int leadingNumber(std::string_view part) {
    const std::string text(part);
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, 0, kMaxComponent));
}

std::optional<ColorValue> tryParse(std::string_view text) {
    const size_t first = text.find(',');
    if (first == std::string_view::npos || first == 0) {
        return std::nullopt;
    }
    const std::string_view rest = text.substr(first + 1);
    const size_t second = rest.find(',');
    if (second == std::string_view::npos || second == 0) {
        return std::nullopt;
    }
    return makeColor(leadingNumber(text.substr(0, first)), leadingNumber(rest.substr(0, second)),
                     leadingNumber(rest.substr(second + 1)));
}

}  // namespace

std::string formatColor(ColorValue color) {
    return std::to_string(redOf(color)) + "," + std::to_string(greenOf(color)) + "," +
           std::to_string(blueOf(color));
}

ColorValue parseColor(std::string_view text, std::string_view fallbackText) {
    if (auto color = tryParse(text)) {
        return *color;
    }
    return tryParse(fallbackText).value_or(0);
}

}  // namespace qavix
