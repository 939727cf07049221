#pragma once
// Bytes as the controller's texts carry them: two upper-case hexadecimal digits per byte.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::sim {

std::string toHex(const std::uint8_t* bytes, size_t count);
std::string hexByte(int value);  // "%02X" of the low eight bits
std::string hexWord(int value);  // "%04X" of the low sixteen bits

// Upper- or lower-case digits, an even number of them; false on anything else.
bool fromHex(std::string_view text, std::vector<std::uint8_t>& bytes);

bool isDecimalDigits(std::string_view text);

}  // namespace qavix::sim
