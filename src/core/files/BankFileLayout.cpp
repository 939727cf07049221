#include "files/BankFileLayout.h"

#include <cstdio>

#include "Translate.h"

namespace qavix::bankfile::layout {

namespace {

// OFF_TH in a file is always this far below the written ON_TH.
constexpr int32_t kOffThresholdGap = 10;

constexpr int kBeamsPerEntry = 16;
constexpr int kEntriesPerBeamTable = kMaxBeams / kBeamsPerEntry;
constexpr int kBeamsPerFlagByte = 8;
constexpr size_t kTypeLength = 20;
constexpr size_t kSoftwareVersionLength = 5;
constexpr size_t kCodeTextLength = 4;  // VER_R, VER_E and the P-I/O codes

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Collects "KEY=VALUE" entries; the first value that does not fit its width is an error,
// because a wider value would make the whole file unreadable.
class Entries {
  public:
    explicit Entries(std::string& error) : m_error(error) {}

    void hex(const std::string& key, int32_t value, int digits) {
        add(key, hexText(key, value, digits));
    }

    void decimal(const std::string& key, int32_t value) { add(key, decimalText(key, value)); }

    void fixed(const std::string& key, const std::string& value) { add(key, value); }

    // A stored code text of four characters, or "0000" when it is empty.
    void code(const std::string& key, const std::string& text) {
        if (text.empty()) {
            add(key, "0000");
            return;
        }
        // Blanks at either end would be trimmed away when the file is read.
        if (text.size() != kCodeTextLength || isBlank(text.front()) || isBlank(text.back())) {
            fail(key, QX_("%1 が前後に空白のない4文字ではありません"));
        }
        add(key, text);
    }

    // Each character as two hexadecimal digits of its code; a shorter text is filled with
    // code 0, which ends the text again when it is read.
    void characters(const std::string& key, const std::string& text, size_t length) {
        if (text.size() > length) {
            fail(key, QX_("%1 が %2 文字より長くなっています"), std::to_string(length));
        }
        std::string value;
        for (size_t i = 0; i < length; ++i) {
            const int32_t code = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
            value += hexText(key, code, 2);
        }
        add(key, value);
    }

    std::string hexText(const std::string& key, int32_t value, int digits) {
        const int64_t limit = int64_t{1} << (4 * digits);
        if (value < 0 || value >= limit) {
            fail(key, QX_("%1 の値 %2 が欄に収まりません"), std::to_string(value));
            return std::string(static_cast<size_t>(digits), '0');
        }
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%0*X", digits, static_cast<unsigned>(value));
        return buffer;
    }

    std::string decimalText(const std::string& key, int32_t value) {
        if (value < 0 || value > 99) {
            fail(key, QX_("%1 の値 %2 が欄に収まりません"), std::to_string(value));
            return "00";
        }
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%02d", static_cast<int>(value));
        return buffer;
    }

    std::vector<std::string> take() { return std::move(m_entries); }

  private:
    void add(const std::string& key, const std::string& value) {
        m_entries.push_back(key + "=" + value);
    }
    // `why`: %1 the key, %2 `value`.
    void fail(const std::string& key, const char* why, const std::string& value = {}) {
        if (m_error.empty()) {
            m_error = i18n::fill(why, {key, value});
        }
    }

    std::string& m_error;
    std::vector<std::string> m_entries;
};

std::string flagBytes(Entries& entries, const std::string& key, const BeamTable& flags) {
    std::string text;
    for (int first = 0; first < kMaxBeams; first += kBeamsPerFlagByte) {
        int32_t sum = 0;
        for (int beam = first; beam < first + kBeamsPerFlagByte; ++beam) {
            sum += flags[static_cast<size_t>(beam)];
        }
        text += entries.hexText(key, sum, 2);
    }
    return text;
}

void beamTable(Entries& entries, const std::string& prefix, const BeamTable& table,
               int32_t writtenForZero) {
    for (int entry = 0; entry < kEntriesPerBeamTable; ++entry) {
        const std::string key = prefix + std::to_string(entry + 1);
        std::string text;
        for (int i = 0; i < kBeamsPerEntry; ++i) {
            const int32_t value = table[static_cast<size_t>(entry * kBeamsPerEntry + i)];
            text += entries.hexText(key, value == 0 ? writtenForZero : value, 2);
        }
        entries.fixed(key, text);
    }
}

template <typename Table>
std::string twoDigitsEach(Entries& entries, const std::string& key, const Table& values,
                          size_t first, size_t count) {
    std::string text;
    for (size_t i = first; i < first + count; ++i) {
        text += entries.hexText(key, values[i], 2);
    }
    return text;
}

}  // namespace

std::vector<std::string> channelEntries(const ChannelRecord& c, std::string& error) {
    Entries e(error);
    e.hex("TYPE_1", c.beamCount, 2);
    e.hex("TYPE_2", c.type2, 2);
    e.hex("TYPE_3", c.type3, 2);
    e.fixed("BLANK1", "00");
    e.code("VER_R", c.verR);
    e.code("VER_E", c.verE);
    e.fixed("FIX_AXIS", flagBytes(e, "FIX_AXIS", c.fixAxis));
    e.fixed("SET_AXIS", flagBytes(e, "SET_AXIS", c.setAxis));
    // A file stores 0 in ON_TH, AXIS_TH and ZERO cells as the values the controller itself
    // would hold. Only the file is raised; the set keeps its 0. OFF_TH ignores the stored value and
    // the ON/OFF difference alike.
    const int32_t onTh = c.onTh == 0 ? kMinOnThreshold : c.onTh;
    e.hex("ON_TH", onTh, 2);
    e.hex("OFF_TH", onTh - kOffThresholdGap, 2);
    e.hex("FUNCTION", c.function, 2);
    e.hex("FIX_CONF", c.fixConf, 2);
    e.hex("FLO_CONF", c.floConf, 2);
    e.fixed("TEST_IN", "00");
    e.fixed("ALM2_CONF", "00");
    e.fixed("BLANK2", "00");
    e.hex("TIME_CONF", c.timeConf, 4);
    e.hex("COUNT_CONF", c.countConf, 2);
    e.hex("SUB_CONF", c.subConf, 2);
    e.hex("ALM_CONF", c.almConf, 2);
    e.fixed("BLANK3", std::string(22, '0'));
    return e.take();
}

std::vector<std::string> controllerEntries(const SettingsData& set, std::string& error) {
    const GeneralBlock& g = set.general;
    Entries e(error);
    e.characters("TYPE", g.type, kTypeLength);
    e.characters("SFT_VER", g.softwareVersion(), kSoftwareVersionLength);
    e.fixed("BLANK4", "000000");
    e.decimal("JOINT_NUM", g.jointNum);
    e.hex("TCH_CNF", g.tchCnf, 2);
    e.fixed("BLANK5", "0000");
    for (int pin = 0; pin < kPioCount; ++pin) {
        char key[8];
        std::snprintf(key, sizeof key, "PIO_%02d", pin + 1);
        e.code(key, g.pio[static_cast<size_t>(pin)]);
    }
    std::string inversion;
    for (int32_t value : g.pioInv) {
        inversion += e.decimalText("PIO_INV", value);
    }
    e.fixed("PIO_INV", inversion);

    for (int n = 0; n < kChannelCount; ++n) {
        beamTable(e, "AXIS_TH" + std::to_string(n + 1) + "_", set.channel(n).axisTh,
                  kMinOnThreshold);
    }
    for (int n = 0; n < kChannelCount; ++n) {
        beamTable(e, "ZERO" + std::to_string(n + 1) + "_", set.channel(n).zero, kDefaultZeroPoint);
    }

    for (int n = 0; n < kChannelCount; ++n) {
        e.hex("HYS" + std::to_string(n + 1), set.channel(n).hys, 2);
    }
    for (int n = 0; n < kChannelCount; ++n) {
        e.hex("TH_CNF" + std::to_string(n + 1), set.channel(n).thCnf, 2);
    }
    for (int k = 0; k < kChannelCount; ++k) {
        e.hex("FIX_CNF" + std::to_string(k + 1), g.fixCnf[static_cast<size_t>(k)], 2);
    }
    e.hex("ALL_ONOFF_CNF", g.allOnOffCnf, 2);
    for (int k = 0; k < kChannelCount; ++k) {
        e.hex("ALL_ON" + std::to_string(k + 1), g.allOn[static_cast<size_t>(k)], 4);
    }
    for (int k = 0; k < kChannelCount; ++k) {
        e.hex("ALL_OFF" + std::to_string(k + 1), g.allOff[static_cast<size_t>(k)], 4);
    }
    e.hex("PARA_CNF", g.paraCnf, 2);
    e.hex("PARA_TYPE1", g.paraType[0], 2);
    e.hex("PARA_TYPE2", g.paraType[1], 2);
    e.hex("PARA_RES1", g.paraRes[0], 2);
    e.hex("PARA_RES2", g.paraRes[1], 2);
    e.hex("PARA_UNIT1", g.paraUnit[0], 2);
    e.hex("PARA_UNIT2", g.paraUnit[1], 2);
    e.hex("GRP_CNF", g.grpCnf, 2);
    e.fixed("GRP_UP_AX", twoDigitsEach(e, "GRP_UP_AX", g.grpUp, 0, kGroupCount));
    e.fixed("GRP_UP_CH", twoDigitsEach(e, "GRP_UP_CH", g.grpUp, kGroupCount, kGroupCount));
    e.fixed("GRP_LOW_AX", twoDigitsEach(e, "GRP_LOW_AX", g.grpLow, 0, kGroupCount));
    e.fixed("GRP_LOW_CH", twoDigitsEach(e, "GRP_LOW_CH", g.grpLow, kGroupCount, kGroupCount));
    return e.take();
}

}  // namespace qavix::bankfile::layout
