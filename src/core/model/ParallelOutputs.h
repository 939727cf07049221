#pragma once
// The two parallel outputs: which sensor is observed, which number is put out and which
// beam state counts, packed into one output code (PARA_RES1, PARA_RES2) as
// 1 + state + 2 * mode + 16 * sensor, and the number format (PARA_TYPE1, PARA_TYPE2).
// The settings report names the codes; the parallel output page shows and builds them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Translate.h"
#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix {

constexpr int kParallelOutputCount = 2;

// List entries of the page, in the order of their indexes in the code; shown through
// i18n::translate.
inline constexpr std::array<const char*, 3> kParallelModeNames = {
    N_("最上位光軸番号"), N_("最下位光軸番号"), N_("総光軸数")};
inline constexpr std::array<const char*, 2> kParallelStateNames = {N_("遮光"), N_("入光")};
inline constexpr std::array<const char*, 2> kParallelFormatNames = {N_("バイナリ"), "BCD"};

struct ParallelTarget {
    int sensor = 0;  // 0..2 for CH1..CH3
    int mode = 0;    // index of kParallelModeNames
    int state = 0;   // index of kParallelStateNames
    bool operator==(const ParallelTarget& o) const {
        return sensor == o.sensor && mode == o.mode && state == o.state;
    }
};

// The output code of a target; a sensor index of 3 counts as CH1.
int32_t parallelOutputCode(const ParallelTarget& target);
// The target a code names, or nothing for a code outside the defined sensors, modes and
// states.
bool parallelTargetOf(int32_t code, ParallelTarget& target);

// "CH2  入光  総光軸数" for code 22; a code that names no sensor, mode or state: "該当無".
std::string parallelTargetName(int32_t code);

// What one output's lists show for a stored code and format with `jointNum` sensors
// connected. The target-sensor list holds CH1 up to the last connected sensor; a stored
// sensor beyond them is added at the end and selected, so the stored target stays visible
// and a write leaves it as it was.
struct ParallelOutputChoice {
    std::vector<int> sensors;  // sensor index of each entry of the target-sensor list
    int sensorEntry = 0;       // selected entry of that list
    int mode = 0;
    int state = 0;
    int format = 0;  // index of kParallelFormatNames
    bool operator==(const ParallelOutputChoice& o) const {
        return sensors == o.sensors && sensorEntry == o.sensorEntry && mode == o.mode &&
               state == o.state && format == o.format;
    }
};
ParallelOutputChoice parallelOutputChoice(int32_t code, int32_t format, int jointNum);

// The whole page: the arrangement list and the two outputs.
struct ParallelOutputPage {
    int arrangement = 0;  // kTogetherIndex or kSeparateIndex, as the overall judgement
    std::array<ParallelOutputChoice, kParallelOutputCount> outputs;
    bool operator==(const ParallelOutputPage& o) const {
        return arrangement == o.arrangement && outputs == o.outputs;
    }
    bool operator!=(const ParallelOutputPage& o) const { return !(*this == o); }
};
// What the page shows for the working set's general block.
ParallelOutputPage parallelOutputPage(const GeneralBlock& general);

// The writes of the page, in order: arrangement (33), output codes (35), formats (34).
// A value whose lists still show what `general` gives is sent as stored, so a code the
// lists cannot express (an unknown mode, a stored sensor 3) survives a write of the other
// output untouched.
std::vector<codec::PutRequest> parallelOutputPuts(const ParallelOutputPage& page,
                                                  const GeneralBlock& general);

// What the page reads when it is first shown: the arrangement, formats, codes and units.
std::vector<PageRead> parallelOutputReads();

}  // namespace qavix
