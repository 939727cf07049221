#include "model/SensorArrangement.h"

#include <cstddef>

namespace qavix {

int32_t arrangementValue(int choiceIndex) {
    return choiceIndex == 1 ? kArrangementSeparate : kArrangementTogether;
}

int arrangementChoice(int32_t value) {
    return value == kArrangementSeparate ? 1 : 0;
}

const char* arrangementText(int32_t value) {
    switch (value) {
        case kArrangementOff:
            return "無効";
        case kArrangementTogether:
        case kArrangementSeparate:
            return kArrangementChoices[static_cast<std::size_t>(value - 1)];
        default:
            return "該当無";
    }
}

}  // namespace qavix
