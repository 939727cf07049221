#include "sim/BankImageCheck.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

namespace qavix::sim {

namespace {

constexpr int kChannels = 3;
constexpr int kPioPins = 16;
constexpr int kGroups = 16;
constexpr int kParallelOutputs = 2;
constexpr int kBeamsPerFileEntry = 16;
constexpr int kMaxBeams = 128;
constexpr int kMaxAxisValue = 200;
constexpr int kMinZeroPoint = 20;
constexpr int kMinOnTh = 18;
constexpr int kMaxOnTh = 100;
constexpr int kMinOffTh = 8;
constexpr int kMaxOffTh = 92;
constexpr int kMaxGroupChannel = 3;
constexpr int kMaxFloConf = 3;
constexpr int kFloConfSwitchBits = 0x30;  // two switches, not part of the setting

bool inAny(int v, std::initializer_list<std::pair<int, int>> ranges) {
    for (const auto& [lo, hi] : ranges) {
        if (v >= lo && v <= hi) {
            return true;
        }
    }
    return false;
}

std::string named(const char* format, int a, int b = 0) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

bool decimalDigits(int byte) {
    return (byte >> 4) <= 9 && (byte & 0x0F) <= 9;
}

class Image {
  public:
    explicit Image(const SetMemory& bytes) : m_bytes(bytes) {}
    int byte(int offset) const { return m_bytes[static_cast<size_t>(offset)]; }
    int word(int offset) const { return byte(offset) * 256 + byte(offset + 1); }
    int channel(int c, int field) const { return byte(image::kChannelSize * c + field); }
    int general(int field) const { return byte(image::kGeneral + field); }
    int extended(int field) const { return byte(image::kExtended + field); }

  private:
    const SetMemory& m_bytes;
};

std::string pioFailure(const Image& s) {
    for (int pin = 0; pin < kPioPins; ++pin) {
        const int code = s.word(image::kGeneral + image::kPio + 2 * pin);
        if (!inAny(
                code,
                {{0, 0}, {0x8000, 0x8000}, {0x8010, 0x8015}, {0x8030, 0x805B}, {0x8060, 0x806B}})) {
            return named("PIO_%02d", pin + 1);
        }
    }
    return "";
}

std::string fixAndAllOnOffFailure(const Image& s) {
    for (int k = 0; k < kChannels; ++k) {
        if (!inAny(s.extended(image::kFixCnf + k), {{0, 1}})) {
            return named("FIX_CNF%d", k + 1);
        }
        if (!inAny(s.word(image::kExtended + image::kAllOn + 2 * k), {{0, kMaxBeams}})) {
            return named("ALL_ON%d", k + 1);
        }
        if (!inAny(s.word(image::kExtended + image::kAllOff + 2 * k), {{0, kMaxBeams}})) {
            return named("ALL_OFF%d", k + 1);
        }
    }
    if (!inAny(s.extended(image::kAllOnOffCnf), {{0, 2}})) {
        return "ALL_ONOFF_CNF";
    }
    return "";
}

std::string parallelFailure(const Image& s) {
    if (!inAny(s.extended(image::kParaCnf), {{0, 2}})) {
        return "PARA_CNFF";  // the name the program has always reported
    }
    for (int k = 0; k < kParallelOutputs; ++k) {
        if (!inAny(s.extended(image::kParaType + k), {{0, 1}})) {
            return named("PARA_TYPE%d", k + 1);
        }
        if (!inAny(s.extended(image::kParaRes + k), {{0, 6}, {0x11, 0x16}, {0x21, 0x26}})) {
            return named("PARA_RES%d", k + 1);
        }
        if (!inAny(s.extended(image::kParaUnit + k), {{0, 1}})) {
            return named("PARA_UNIT%d", k + 1);
        }
    }
    return "";
}

std::string groupFailure(const Image& s) {
    if (!inAny(s.extended(image::kGrpCnf), {{0, 2}})) {
        return "GRP_CNF";
    }
    for (int group = 0; group < kGroups; ++group) {
        if (!inAny(s.extended(image::kGrpUp + group), {{0, kMaxBeams}})) {
            return "GRP_UP_AX";
        }
        if (!inAny(s.extended(image::kGrpUp + kGroups + group), {{0, kMaxGroupChannel}})) {
            return "GRP_UP_CH";
        }
        if (!inAny(s.extended(image::kGrpLow + group), {{0, kMaxBeams}})) {
            return "GRP_LOW_AX";
        }
        if (!inAny(s.extended(image::kGrpLow + kGroups + group), {{0, kMaxGroupChannel}})) {
            return "GRP_LOW_CH";
        }
    }
    return "";
}

// Only the first field found out of range is reported, so the order of the checks matters.
std::string generalFailure(const Image& s) {
    if (!inAny(s.general(image::kJointNum), {{1, kChannels}})) {
        return "JOINT_NUM";
    }
    if (std::string failed = pioFailure(s); !failed.empty()) {
        return failed;
    }
    if (!inAny(s.general(image::kTeachConf), {{0, 0}, {0x10, 0x11}})) {
        return "TCH_CNF";
    }
    if (std::string failed = fixAndAllOnOffFailure(s); !failed.empty()) {
        return failed;
    }
    if (std::string failed = parallelFailure(s); !failed.empty()) {
        return failed;
    }
    return groupFailure(s);
}

std::string channelFailure(const Image& s, int c) {
    const int n = c + 1;
    for (int b = 0; b < kMaxBeams; ++b) {
        if (!inAny(s.byte(image::kThreshold + kMaxBeams * c + b), {{0, kMaxAxisValue}})) {
            return named("AXIS_TH%d_%d", n, b / kBeamsPerFileEntry + 1);
        }
        if (!inAny(s.byte(image::kZero + kMaxBeams * c + b), {{kMinZeroPoint, kMaxAxisValue}})) {
            return named("ZERO%d_%d", n, b / kBeamsPerFileEntry + 1);
        }
    }
    const int on = s.channel(c, image::kOnTh);
    const int off = s.channel(c, image::kOffTh);
    if (!inAny(s.extended(image::kHys + c), {{0, kMaxAxisValue}})) {
        return named("HYS%d", n);
    }
    if (!inAny(s.extended(image::kThCnf + c), {{0, 1}})) {
        return named("TH_CNF%d", n);
    }
    if (!inAny(on, {{kMinOnTh, kMaxOnTh}})) {
        return named("ON_TH%d", n);
    }
    if (!inAny(off, {{kMinOffTh, kMaxOffTh}})) {
        return named("OFF_TH%d", n);
    }
    if (on <= off) {
        return named("ON_OFF_TH%d", n);
    }
    // FUNCTION and the floating-blanking switches are single bits, never out of range.
    if (!inAny(s.channel(c, image::kFixConf), {{0, 1}})) {
        return named("FIX_CONF%d", n);
    }
    if (!inAny(s.channel(c, image::kFloConf) & ~kFloConfSwitchBits, {{0, kMaxFloConf}})) {
        return named("FLO_CONF%d", n);
    }
    return "";
}

}  // namespace

std::string firstRefusedField(const SetMemory& bytes) {
    const Image s(bytes);
    // What a stored set cannot hold at all comes first: sensors of more than 128 beams and
    // inversion flags that are not decimal.
    for (int c = 0; c < kChannels; ++c) {
        if (s.channel(c, image::kBeamCount) > kMaxBeams) {
            return named("TYPE_1 of CH%d", c + 1);
        }
    }
    for (int pin = 0; pin < kPioPins; ++pin) {
        if (!decimalDigits(s.general(image::kPioInv + pin))) {
            return "PIO_INV";
        }
    }
    if (std::string f = generalFailure(s); !f.empty()) {
        return f;
    }
    for (int c = 0; c < kChannels; ++c) {
        if (std::string f = channelFailure(s, c); !f.empty()) {
            return f;
        }
    }
    // A connected sensor has beams; the import calls a file without them invalid.
    for (int c = 0; c < s.general(image::kJointNum); ++c) {
        if (s.channel(c, image::kBeamCount) == 0) {
            return named("TYPE_1 of CH%d", c + 1);
        }
    }
    return "";
}

}  // namespace qavix::sim
