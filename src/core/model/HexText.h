#pragma once
// Pieces of the controller's block texts: fixed-width hexadecimal and decimal numbers and
// texts sent as the codes of their characters. Readers never look past the text they are
// given; a piece that is missing or holds a wrong character reads as nothing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qavix::hex {

// `digits` hexadecimal digits (either case) at `pos`.
std::optional<int32_t> readHex(std::string_view text, size_t pos, size_t digits);
// `digits` decimal digits at `pos`.
std::optional<int32_t> readDecimal(std::string_view text, size_t pos, size_t digits);

// The whole text as one number of 1 to `maxDigits` digits (at most 8 hexadecimal, 9 decimal).
std::optional<int32_t> parseHex(std::string_view text, size_t maxDigits = 8);
std::optional<int32_t> parseDecimal(std::string_view text, size_t maxDigits = 9);

// "%02X" of the low byte and "%04X" of the low 16 bits: a field never grows past its width.
std::string byteHex(int32_t value);
std::string wordHex(int32_t value);
// "%02d", clamped to 0..99 for the same reason.
std::string decimal2(int32_t value);

// The character codes of `text`, two digits each, cut or padded with `pad` to `width`
// characters.
std::string charCodes(std::string_view text, size_t width, char pad = ' ');
// The characters whose codes `hexText` holds; the text ends at the first code 0, as the
// controller's zero-filled buffers do. Nothing when a code is not two hexadecimal digits.
std::optional<std::string> fromCharCodes(std::string_view hexText);

// True when the text holds no control characters (a reply carrying binary data is corrupt).
bool isPlainText(std::string_view text);

}  // namespace qavix::hex
