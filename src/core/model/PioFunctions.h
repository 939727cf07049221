#pragma once
// What a P-I/O terminal does, read from the four-character code the controller stores for
// it (PIO_01..PIO_16): kind in the third character, index in the fourth.

#include <string>
#include <string_view>

namespace qavix {

// The function name the settings report shows for a terminal code, e.g. "804F" ->
// "グループ16   　入光". An empty code is the unassigned "0000"; a code of a kind the
// controller does not define shows "該当無".
std::string pioFunctionName(std::string_view code);

}  // namespace qavix
