#include "files/BankFields.h"

#include <cstdio>

#include "Utf8.h"

namespace qavix::bankfile {

namespace {

constexpr int kBeamsPerLine = 16;
constexpr int kLinesPerTable = kMaxBeams / kBeamsPerLine;

std::string hexEscape(unsigned char byte) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02X", byte);
    return buffer;
}

template <typename Table>
std::string joined(const Table& table, size_t first, size_t count) {
    std::string text;
    for (size_t i = first; i < first + count; ++i) {
        if (i > first) {
            text += ",";
        }
        text += std::to_string(table[i]);
    }
    return text;
}

std::string flagsJoined(const BeamTable& flags, size_t first) {
    std::string text;
    for (size_t i = first; i < first + kBeamsPerLine; ++i) {
        if (i > first) {
            text += ",";
        }
        text += flags[i] != 0 ? "1" : "0";
    }
    return text;
}

class FieldList {
  public:
    explicit FieldList(std::string section) : m_section(std::move(section)) {}
    void number(const std::string& key, int32_t value) { add(key, std::to_string(value)); }
    void text(const std::string& key, const std::string& value) { add(key, printableText(value)); }
    void add(const std::string& key, std::string value) {
        m_fields.push_back(Field{m_section + "." + key, std::move(value), {}, 1});
    }
    // A list of one value per element, numbered from `first`.
    void list(const std::string& key, std::string value, const char* element, int first = 1) {
        m_fields.push_back(Field{m_section + "." + key, std::move(value), element, first});
    }
    void section(std::string name) { m_section = std::move(name); }
    std::vector<Field> take() { return std::move(m_fields); }

  private:
    std::string m_section;
    std::vector<Field> m_fields;
};

constexpr const char* kBeam = "beam";

void beamLines(FieldList& f, const std::string& prefix, const BeamTable& table) {
    for (int line = 0; line < kLinesPerTable; ++line) {
        f.list(prefix + std::to_string(line + 1),
               joined(table, static_cast<size_t>(line * kBeamsPerLine), kBeamsPerLine), kBeam,
               line * kBeamsPerLine + 1);
    }
}

void flagLines(FieldList& f, const std::string& prefix, const BeamTable& flags) {
    for (int line = 0; line < kLinesPerTable; ++line) {
        f.list(prefix + std::to_string(line + 1),
               flagsJoined(flags, static_cast<size_t>(line * kBeamsPerLine)), kBeam,
               line * kBeamsPerLine + 1);
    }
}

void channelFields(FieldList& f, const ChannelRecord& c) {
    f.number("TYPE_1", c.beamCount);
    f.number("TYPE_2", c.type2);
    f.number("TYPE_3", c.type3);
    f.text("VER_R", c.verR);
    f.text("VER_E", c.verE);
    flagLines(f, "FIX_AXIS_", c.fixAxis);
    flagLines(f, "SET_AXIS_", c.setAxis);
    f.number("ON_TH", c.onTh);
    f.number("OFF_TH", c.offTh);
    f.number("FUNCTION", c.function);
    f.number("FIX_CONF", c.fixConf);
    f.number("FLO_CONF", c.floConf);
    f.number("TIME_CONF", c.timeConf);
    f.number("COUNT_CONF", c.countConf);
    f.number("SUB_CONF", c.subConf);
    f.number("ALM_CONF", c.almConf);
}

void perChannel(FieldList& f, const std::string& key, const SettingsData& set,
                int32_t ChannelRecord::*member) {
    for (int n = 0; n < kChannelCount; ++n) {
        f.number(key + std::to_string(n + 1), set.channel(n).*member);
    }
}

template <typename Array>
void numbered(FieldList& f, const std::string& key, const Array& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        f.number(key + std::to_string(i + 1), values[i]);
    }
}

void controllerFields(FieldList& f, const SettingsData& set) {
    const GeneralBlock& g = set.general;
    f.text("TYPE", g.type);
    f.text("SFT_VER", g.softwareVersion());
    f.number("JOINT_NUM", g.jointNum);
    f.number("TCH_CNF", g.tchCnf);
    for (int pin = 0; pin < kPioCount; ++pin) {
        char key[8];
        std::snprintf(key, sizeof key, "PIO_%02d", pin + 1);
        f.text(key, g.pio[static_cast<size_t>(pin)]);
    }
    f.list("PIO_INV", joined(g.pioInv, 0, kPioCount), "P-I/O");
    for (int n = 0; n < kChannelCount; ++n) {
        beamLines(f, "AXIS_TH" + std::to_string(n + 1) + "_", set.channel(n).axisTh);
    }
    for (int n = 0; n < kChannelCount; ++n) {
        beamLines(f, "ZERO" + std::to_string(n + 1) + "_", set.channel(n).zero);
    }
    perChannel(f, "HYS", set, &ChannelRecord::hys);
    perChannel(f, "TH_CNF", set, &ChannelRecord::thCnf);
    numbered(f, "FIX_CNF", g.fixCnf);
    f.number("ALL_ONOFF_CNF", g.allOnOffCnf);
    numbered(f, "ALL_ON", g.allOn);
    numbered(f, "ALL_OFF", g.allOff);
    f.number("PARA_CNF", g.paraCnf);
    numbered(f, "PARA_TYPE", g.paraType);
    numbered(f, "PARA_RES", g.paraRes);
    numbered(f, "PARA_UNIT", g.paraUnit);
    f.number("GRP_CNF", g.grpCnf);
    f.list("GRP_UP_AX", joined(g.grpUp, 0, kGroupCount), "group");
    f.list("GRP_UP_CH", joined(g.grpUp, kGroupCount, kGroupCount), "group");
    f.list("GRP_LOW_AX", joined(g.grpLow, 0, kGroupCount), "group");
    f.list("GRP_LOW_CH", joined(g.grpLow, kGroupCount, kGroupCount), "group");
}

}  // namespace

std::string printableText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            const size_t length = utf8::sequenceLength(text, i);
            if (length == 0) {
                out += hexEscape(byte);
                ++i;
            } else {
                out.append(text, i, length);
                i += length;
            }
            continue;
        }
        if (byte < 0x20 || byte == 0x7F) {
            out += hexEscape(byte);
        } else if (byte == '\\') {
            out += "\\\\";
        } else {
            out.push_back(static_cast<char>(byte));
        }
        ++i;
    }
    return out;
}

std::vector<Field> bankFields(const SettingsData& set) {
    FieldList f("CH1");
    for (int n = 0; n < kChannelCount; ++n) {
        f.section("CH" + std::to_string(n + 1));
        channelFields(f, set.channel(n));
    }
    f.section("CONTROLLER");
    controllerFields(f, set);
    return f.take();
}

std::vector<FieldChange> fieldChanges(const SettingsData& before, const SettingsData& after) {
    return fieldChanges(bankFields(before), bankFields(after));
}

std::string changeLine(const FieldChange& change) {
    return change.name + ": " + change.before + " -> " + change.after;
}

std::vector<FieldChange> fieldChanges(const std::vector<Field>& a, const std::vector<Field>& b) {
    std::vector<FieldChange> changes;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i].value != b[i].value) {
            changes.push_back({a[i].name, a[i].value, b[i].value, a[i].element, a[i].firstElement});
        }
    }
    return changes;
}

}  // namespace qavix::bankfile
