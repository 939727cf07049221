#include "model/PioFunctions.h"

#include "model/HexText.h"

#include <array>
#include <cstdio>

namespace qavix {

namespace {

constexpr size_t kCodeLength = 4;
constexpr int kLastGroupWithPadding = 9;  // one-digit group numbers keep their column

enum PioKind : int {
    kKindUnassigned = 0,
    kKindOverall = 1,
    kKindGroupBlocked = 3,
    kKindGroupIncident = 4,
    kKindParallel1 = 5,
    kKindParallel2 = 6,
};

constexpr std::array<const char*, 6> kOverallNames = {
    "総合ON/OFF出力 遮光  CH1", "総合ON/OFF出力 入光  CH1", "総合ON/OFF出力 遮光  CH2",
    "総合ON/OFF出力 入光  CH2", "総合ON/OFF出力 遮光  CH3", "総合ON/OFF出力 入光  CH3",
};

const char* const kUnassigned = "未設定";
const char* const kUnknown = "該当無";

std::string groupName(int index, bool incident) {
    const int group = index + 1;
    const char* format = nullptr;
    if (group <= kLastGroupWithPadding) {
        format = incident ? "グループ%d   　 入光" : "グループ%d   　 遮光";
    } else {
        format = incident ? "グループ%d   　入光" : "グループ%d   　遮光";
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, format, group);
    return buf;
}

std::string parallelName(int output, int bit) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "パラレル出力%d   －   %dbit", output, bit);
    return buf;
}

}  // namespace

std::string pioFunctionName(std::string_view code) {
    if (code.empty()) {
        return kUnassigned;
    }
    if (code.size() < kCodeLength) {
        return kUnknown;
    }
    const int lead = hex::readHex(code, 0, 1).value_or(-1);
    const int kind = hex::readDecimal(code, 2, 1).value_or(-1);
    const int index = hex::readHex(code, 3, 1).value_or(-1);
    if (lead == 0 || kind == kKindUnassigned) {
        return kUnassigned;
    }
    if (lead < 0 || kind < 0 || index < 0) {
        return kUnknown;
    }
    switch (kind) {
        case kKindOverall:
            return index < static_cast<int>(kOverallNames.size())
                       ? kOverallNames[static_cast<size_t>(index)]
                       : kUnknown;
        case kKindGroupBlocked:
            return groupName(index, false);
        case kKindGroupIncident:
            return groupName(index, true);
        case kKindParallel1:
            return parallelName(1, index);
        case kKindParallel2:
            return parallelName(2, index);
        default:
            return kUnknown;
    }
}

}  // namespace qavix
