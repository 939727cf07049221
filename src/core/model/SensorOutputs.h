#pragma once
// Functions of a sensor's auxiliary outputs OUT2 and OUT3 (SUB_CONF and ALM_CONF of CH1):
// the names the settings report gives every code, and the seven functions the operation
// settings page offers, in the order of its lists.

#include <cstdint>
#include <string>
#include <vector>

namespace qavix {

// The name the settings report shows for an OUT2 or OUT3 code; unknown codes give "該当無".
// Translated.
std::string sensorOutputName(int32_t code);

struct SensorOutputChoice {
    int32_t code;
    const char* name;  // as the page's list shows it; shown through i18n::translate
};
// The functions the page offers, in list order.
const std::vector<SensorOutputChoice>& sensorOutputChoices();
// The list index of a code, or -1 when the page does not offer it.
int sensorOutputChoiceIndex(int32_t code);

// The code of "指定光軸出力", the function that needs designated beams.
constexpr int32_t kDesignatedBeamOutput = 0x05;

}  // namespace qavix
