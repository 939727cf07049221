#include "model/ImportCheck.h"

#include "model/ControllerCodes.h"
#include "model/HexText.h"

#include <cstdio>

namespace qavix {

namespace {

using code::accepts;

constexpr int32_t kFloConfSwitchBits = 0x30;
constexpr int kBeamsPerFileEntry = 16;
constexpr int kParallelOutputs = 2;

// A P-I/O text read as hexadecimal; an empty text is code 0. Anything that is not wholly
// hexadecimal is no code at all (-1) rather than whatever its leading digits say.
int32_t pioCode(const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    return hex::parseHex(text).value_or(-1);
}

std::string named(const char* format, int a) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, a);
    return buffer;
}

std::string named(const char* format, int a, int b) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

using Failure = std::optional<std::string>;

Failure checkPio(const GeneralBlock& g) {
    for (int pin = 0; pin < kPioCount; ++pin) {
        if (!accepts(code::kPutPioFunctions, pioCode(g.pio[static_cast<size_t>(pin)]))) {
            return named("PIO_%02d", pin + 1);
        }
    }
    return std::nullopt;
}

Failure checkOverall(const GeneralBlock& g) {
    for (int k = 0; k < kChannelCount; ++k) {
        const auto i = static_cast<size_t>(k);
        if (!accepts(code::kPutFixCnf, g.fixCnf[i])) {
            return named("FIX_CNF%d", k + 1);
        }
        if (!accepts(code::kPutAllOn, g.allOn[i])) {
            return named("ALL_ON%d", k + 1);
        }
        if (!accepts(code::kPutAllOff, g.allOff[i])) {
            return named("ALL_OFF%d", k + 1);
        }
    }
    if (!accepts(code::kPutAllOnOffCnf, g.allOnOffCnf)) {
        return "ALL_ONOFF_CNF";
    }
    return std::nullopt;
}

Failure checkParallel(const GeneralBlock& g) {
    if (!accepts(code::kPutParaCnf, g.paraCnf)) {
        return "PARA_CNFF";  // the name users and scripts have always seen
    }
    for (int k = 0; k < kParallelOutputs; ++k) {
        const auto i = static_cast<size_t>(k);
        if (!accepts(code::kPutParaType, g.paraType[i])) {
            return named("PARA_TYPE%d", k + 1);
        }
        if (!accepts(code::kPutParaRes, g.paraRes[i])) {
            return named("PARA_RES%d", k + 1);
        }
        if (!accepts(code::kPutParaUnit, g.paraUnit[i])) {
            return named("PARA_UNIT%d", k + 1);
        }
    }
    return std::nullopt;
}

// A group table holds the beam of each group, then its channel.
bool groupChannelValid(int32_t channel) {
    return channel >= 0 && channel <= kChannelCount;
}

Failure checkGroups(const GeneralBlock& g) {
    if (!accepts(code::kPutGrpCnf, g.grpCnf)) {
        return "GRP_CNF";
    }
    for (size_t group = 0; group < kGroupCount; ++group) {
        if (!accepts(code::kPutGrpUp, g.grpUp[group])) {
            return "GRP_UP_AX";
        }
        if (!groupChannelValid(g.grpUp[kGroupCount + group])) {
            return "GRP_UP_CH";
        }
        if (!accepts(code::kPutGrpLow, g.grpLow[group])) {
            return "GRP_LOW_AX";
        }
        if (!groupChannelValid(g.grpLow[kGroupCount + group])) {
            return "GRP_LOW_CH";
        }
    }
    return std::nullopt;
}

Failure checkGeneral(const GeneralBlock& g) {
    if (!accepts(code::kReadJointNum, g.jointNum)) {
        return kJointNumField;
    }
    if (Failure f = checkPio(g)) {
        return f;
    }
    if (!accepts(code::kPutTchCnf, g.tchCnf)) {
        return "TCH_CNF";
    }
    if (Failure f = checkOverall(g)) {
        return f;
    }
    if (Failure f = checkParallel(g)) {
        return f;
    }
    return checkGroups(g);
}

Failure checkBeams(const ChannelRecord& c, int n) {
    for (int b = 0; b < kMaxBeams; ++b) {
        const auto i = static_cast<size_t>(b);
        if (!accepts(code::kPutAxisTh, c.axisTh[i])) {
            return named("AXIS_TH%d_%d", n, b / kBeamsPerFileEntry + 1);
        }
        if (!accepts(code::kPutZero, c.zero[i])) {
            return named("ZERO%d_%d", n, b / kBeamsPerFileEntry + 1);
        }
    }
    return std::nullopt;
}

Failure checkChannelSettings(const ChannelRecord& c, int n) {
    if (!accepts(code::kPutHys, c.hys)) {
        return named("HYS%d", n);
    }
    if (!accepts(code::kPutThCnf, c.thCnf)) {
        return named("TH_CNF%d", n);
    }
    if (!accepts(code::kPutOnTh, c.onTh)) {
        return named("ON_TH%d", n);
    }
    if (!accepts(code::kPutOffTh, c.offTh)) {
        return named("OFF_TH%d", n);
    }
    if (c.onTh <= c.offTh) {
        return named("ON_OFF_TH%d", n);
    }
    if (!accepts(code::kPutFunctionBit1, c.functionBit1)) {
        return named("FUNCTION%d", n);
    }
    if (!accepts(code::kPutFixConf, c.fixConf)) {
        return named("FIX_CONF%d", n);
    }
    if (!accepts(code::kPutFunctionBit2, c.functionBit2) ||
        !accepts(code::kPutFloConfBit4, c.floConfBit4) ||
        !accepts(code::kPutFloConfBit5, c.floConfBit5)) {
        return named("FLO_CONF%d", n);
    }
    // Bits 4 and 5 carry the two switches checked above; the setting is the bits below.
    if (!accepts(code::kPutFloConf, c.floConf & ~kFloConfSwitchBits)) {
        return named("FLO_CONF%d", n);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> findOutOfRangeField(const SettingsData& set) {
    if (Failure f = checkGeneral(set.general)) {
        return f;
    }
    for (int n = 1; n <= kChannelCount; ++n) {
        const ChannelRecord& c = set.channel(n - 1);
        if (Failure f = checkBeams(c, n)) {
            return f;
        }
        if (Failure f = checkChannelSettings(c, n)) {
            return f;
        }
    }
    return std::nullopt;
}

std::string importAbnormalMessage(const std::string& fieldName) {
    return i18n::fill(i18n::translate(kImportAbnormalFormat), {fieldName});
}

}  // namespace qavix
