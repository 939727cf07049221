#pragma once
// The controller's optional functions as the option settings page switches them: fixed-
// blanking teaching, the bank function and the three measurement-processing functions.
// A switch is on while its field is not 0; switching it writes its own value or 0. The
// measurement-processing switches decide which pages the navigation tree offers.

#include <array>
#include <cstdint>
#include <vector>

#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix {

enum OptionSwitchIndex : int {
    kOptionTeach = 0,
    kOptionBank = 1,
    kOptionGroups = 2,
    kOptionOverall = 3,
    kOptionParallel = 4,
    kOptionSwitchCount = 5,
};

struct OptionSwitch {
    const char* label;  // marked for translation: shown through i18n::translate
    int putCode;
    int32_t onValue;  // written when ticked; 0 when cleared
    int32_t GeneralBlock::*field;
};

// In the order the page writes them.
const std::array<OptionSwitch, kOptionSwitchCount>& optionSwitches();

using OptionStates = std::array<bool, kOptionSwitchCount>;

OptionStates optionStates(const GeneralBlock& general);

// One put per switch whose state differs from `general`, in table order.
std::vector<codec::PutRequest> optionPuts(const OptionStates& shown, const GeneralBlock& general);

// What the page reads when it is first shown: teach, bank, overall, groups, parallel.
std::vector<PageRead> optionReads();

}  // namespace qavix
