#pragma once
// How the controller treats its sensors in the overall ON/OFF judgement (ALL_ONOFF_CNF) and
// the parallel outputs (PARA_CNF): off, all sensors together, or each sensor on its own.
// The pages offer the two arrangements as a list whose index + 1 is the stored value.

#include <array>
#include <cstdint>

namespace qavix {

enum SensorArrangement : int32_t {
    kArrangementOff = 0,
    kArrangementTogether = 1,
    kArrangementSeparate = 2,
};

// The list entries, in the order of their values 1 and 2.
inline constexpr std::array<const char*, 2> kArrangementChoices = {"センサ一括処理",
                                                                   "センサ個別処理"};

// The stored value of a list index, and the index a stored value shows (off and unknown
// values show the first entry).
int32_t arrangementValue(int choiceIndex);
int arrangementChoice(int32_t value);

// "無効", an entry of the list, or "該当無" for a value the controller does not define.
const char* arrangementText(int32_t value);

}  // namespace qavix
