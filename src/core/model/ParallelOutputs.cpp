#include "model/ParallelOutputs.h"

#include <array>

namespace qavix {

namespace {

constexpr int32_t kSensorStride = 16;
constexpr int32_t kModeStride = 2;
constexpr int kSensorCount = 3;

constexpr std::array<const char*, 2> kStateNames = {"遮光", "入光"};
constexpr std::array<const char*, 3> kModeNames = {"最上位光軸番号", "最下位光軸番号", "総光軸数"};

}  // namespace

std::string parallelTargetName(int32_t code) {
    const char* const unknown = "該当無";
    if (code < 1) {
        return unknown;
    }
    const int32_t packed = code - 1;
    const int32_t sensor = packed / kSensorStride;
    const int32_t mode = (packed % kSensorStride) / kModeStride;
    const int32_t state = packed % kModeStride;
    if (sensor >= kSensorCount || mode >= static_cast<int32_t>(kModeNames.size())) {
        return unknown;
    }
    return "CH" + std::to_string(sensor + 1) + "  " + kStateNames[static_cast<size_t>(state)] +
           "  " + kModeNames[static_cast<size_t>(mode)];
}

}  // namespace qavix
