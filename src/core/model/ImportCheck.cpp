#include "model/ImportCheck.h"

#include "model/HexText.h"

#include <cstdio>

namespace qavix {

namespace {

constexpr int32_t kMaxAxisValue = 200;
constexpr int32_t kMinZeroPoint = 20;
constexpr int32_t kMaxOnTh = 100;
constexpr int32_t kMinOffTh = 8;
constexpr int32_t kMaxOffTh = 92;
constexpr int32_t kMaxGroupChannel = 3;
constexpr int32_t kMaxFloConf = 3;
constexpr int32_t kFloConfSwitchBits = 0x30;
constexpr int kBeamsPerFileEntry = 16;

bool inRange(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}
bool zeroOrOne(int32_t value) {
    return value == 0 || value == 1;
}
bool upToTwo(int32_t value) {
    return inRange(value, 0, 2);
}

// The P-I/O function codes the controller knows.
bool validPioCode(int32_t code) {
    return code == 0 || code == 0x8000 || inRange(code, 0x8010, 0x8015) ||
           inRange(code, 0x8030, 0x805B) || inRange(code, 0x8060, 0x806B);
}

// A P-I/O text read as hexadecimal; an empty text is code 0. Anything that is not wholly
// hexadecimal is no code at all (-1) rather than whatever its leading digits say.
int32_t pioCode(const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    return hex::parseHex(text).value_or(-1);
}

bool validResolution(int32_t res) {
    return inRange(res, 0x00, 0x06) || inRange(res, 0x11, 0x16) || inRange(res, 0x21, 0x26);
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

Failure checkGeneral(const GeneralBlock& g) {
    if (!inRange(g.jointNum, 1, kChannelCount)) {
        return kJointNumField;
    }
    for (int pin = 0; pin < kPioCount; ++pin) {
        if (!validPioCode(pioCode(g.pio[static_cast<size_t>(pin)]))) {
            return named("PIO_%02d", pin + 1);
        }
    }
    if (g.tchCnf != 0 && g.tchCnf != 0x10 && g.tchCnf != 0x11) {
        return "TCH_CNF";
    }
    for (int k = 0; k < kChannelCount; ++k) {
        const auto i = static_cast<size_t>(k);
        if (!zeroOrOne(g.fixCnf[i])) {
            return named("FIX_CNF%d", k + 1);
        }
        if (!inRange(g.allOn[i], 0, kMaxBeams)) {
            return named("ALL_ON%d", k + 1);
        }
        if (!inRange(g.allOff[i], 0, kMaxBeams)) {
            return named("ALL_OFF%d", k + 1);
        }
    }
    if (!upToTwo(g.allOnOffCnf)) {
        return "ALL_ONOFF_CNF";
    }
    if (!upToTwo(g.paraCnf)) {
        return "PARA_CNFF";  // the name users and scripts have always seen
    }
    for (int k = 0; k < 2; ++k) {
        const auto i = static_cast<size_t>(k);
        if (!zeroOrOne(g.paraType[i])) {
            return named("PARA_TYPE%d", k + 1);
        }
        if (!validResolution(g.paraRes[i])) {
            return named("PARA_RES%d", k + 1);
        }
        if (!zeroOrOne(g.paraUnit[i])) {
            return named("PARA_UNIT%d", k + 1);
        }
    }
    if (!upToTwo(g.grpCnf)) {
        return "GRP_CNF";
    }
    for (size_t group = 0; group < kGroupCount; ++group) {
        if (!inRange(g.grpUp[group], 0, kMaxBeams)) {
            return "GRP_UP_AX";
        }
        if (!inRange(g.grpUp[kGroupCount + group], 0, kMaxGroupChannel)) {
            return "GRP_UP_CH";
        }
        if (!inRange(g.grpLow[group], 0, kMaxBeams)) {
            return "GRP_LOW_AX";
        }
        if (!inRange(g.grpLow[kGroupCount + group], 0, kMaxGroupChannel)) {
            return "GRP_LOW_CH";
        }
    }
    return std::nullopt;
}

Failure checkBeams(const ChannelRecord& c, int n) {
    for (int b = 0; b < kMaxBeams; ++b) {
        const auto i = static_cast<size_t>(b);
        if (!inRange(c.axisTh[i], 0, kMaxAxisValue)) {
            return named("AXIS_TH%d_%d", n, b / kBeamsPerFileEntry + 1);
        }
        if (!inRange(c.zero[i], kMinZeroPoint, kMaxAxisValue)) {
            return named("ZERO%d_%d", n, b / kBeamsPerFileEntry + 1);
        }
    }
    return std::nullopt;
}

Failure checkChannelSettings(const ChannelRecord& c, int n) {
    if (!inRange(c.hys, 0, kMaxAxisValue)) {
        return named("HYS%d", n);
    }
    if (!zeroOrOne(c.thCnf)) {
        return named("TH_CNF%d", n);
    }
    if (!inRange(c.onTh, kMinOnThreshold, kMaxOnTh)) {
        return named("ON_TH%d", n);
    }
    if (!inRange(c.offTh, kMinOffTh, kMaxOffTh)) {
        return named("OFF_TH%d", n);
    }
    if (c.onTh <= c.offTh) {
        return named("ON_OFF_TH%d", n);
    }
    if (!zeroOrOne(c.functionBit1)) {
        return named("FUNCTION%d", n);
    }
    if (!zeroOrOne(c.fixConf)) {
        return named("FIX_CONF%d", n);
    }
    for (int32_t floatingSwitch : {c.functionBit2, c.floConfBit4, c.floConfBit5}) {
        if (!zeroOrOne(floatingSwitch)) {
            return named("FLO_CONF%d", n);
        }
    }
    // Bits 4 and 5 carry the two switches checked above; the setting is the bits below.
    if (!inRange(c.floConf & ~kFloConfSwitchBits, 0, kMaxFloConf)) {
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
    std::string message = kImportAbnormalFormat;
    const size_t at = message.find("%s");
    return message.replace(at, 2, fieldName);
}

}  // namespace qavix
