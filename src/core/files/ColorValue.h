#pragma once
// Display colours as the settings file and the drawing code share them: a colour value
// with red in the low byte, then green, then blue, stored as text "r,g,b".

#include <cstdint>
#include <string>
#include <string_view>

namespace qavix {

using ColorValue = uint32_t;

constexpr ColorValue makeColor(int red, int green, int blue) {
    return static_cast<ColorValue>(red & 0xFF) | (static_cast<ColorValue>(green & 0xFF) << 8) |
           (static_cast<ColorValue>(blue & 0xFF) << 16);
}
constexpr int redOf(ColorValue c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(ColorValue c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(ColorValue c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// "r,g,b" in decimal.
std::string formatColor(ColorValue color);

// The text is cut at its first comma into red and the rest, the rest at its first comma into
// green and blue; each part is read as a leading decimal number (no digits read as 0). When
// a comma is missing or stands first, `fallbackText` is parsed instead. A part outside
// 0..255 is clamped rather than wrapped.
ColorValue parseColor(std::string_view text, std::string_view fallbackText);

}  // namespace qavix
