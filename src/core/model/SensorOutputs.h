#pragma once
// Functions of a sensor's auxiliary outputs OUT2 and OUT3 (SUB_CONF and ALM_CONF of CH1).

#include <cstdint>
#include <string>

namespace qavix {

// The name the settings report shows for an OUT2 or OUT3 code; unknown codes give "該当無".
std::string sensorOutputName(int32_t code);

}  // namespace qavix
