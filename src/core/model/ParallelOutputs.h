#pragma once
// The parallel outputs' output codes (PARA_RES1, PARA_RES2): which sensor is observed, which
// number is put out and which beam state counts, packed as 1 + state + 2 * mode + 16 * sensor.

#include <cstdint>
#include <string>

namespace qavix {

// "CH2  入光  総光軸数" for code 22; a code that names no sensor, mode or state: "該当無".
std::string parallelTargetName(int32_t code);

}  // namespace qavix
