#include "sim/Scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "sim/AreaAccess.h"
#include "sim/Command.h"
#include "sim/ErrorHistory.h"
#include "sim/HexText.h"
#include "sim/InputFile.h"

namespace qavix::sim {

namespace {

constexpr int kJointNumArea = 80;
constexpr int kBeamCountArea = 72;

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string withoutBlanks(std::string s) {
    s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; }),
            s.end());
    return s;
}

bool parseNumber(const std::string& s, int& out) {
    if (s.empty() || !isDecimalDigits(s) || s.size() > 6) {
        return false;
    }
    out = std::atoi(s.c_str());
    return true;
}

constexpr int kMaxLightPercent = 1000;
constexpr double kMaxEventSeconds = 1e6;

bool parseSeconds(const std::string& text, std::int64_t& ms) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || text == ".") {
        return false;
    }
    const double seconds = std::strtod(text.c_str(), nullptr);
    if (seconds > kMaxEventSeconds) {
        return false;
    }
    ms = static_cast<std::int64_t>(seconds * 1000.0 + 0.5);
    return true;
}

bool parseHexByte(std::string text, long& out) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text = text.substr(2);
    }
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    out = std::strtol(text.c_str(), nullptr, 16);
    return true;
}

// "CH2" (every beam), "CH2:5" or "CH2:5-8"; 1-based in the text, 0-based in the event.
bool parseBeamRange(const std::string& text, ScenarioEvent& event) {
    const std::string t = lower(text);
    if (t.size() < 3 || t.compare(0, 2, "ch") != 0 || t[2] < '1' || t[2] > '3') {
        return false;
    }
    event.channel = t[2] - '1';
    constexpr int kBeams = 128;
    int first = 1;
    int last = kBeams;
    if (t.size() > 3) {
        if (t[3] != ':') {
            return false;
        }
        const std::string range = t.substr(4);
        const auto dash = range.find('-');
        if (!parseNumber(range.substr(0, dash), first)) {
            return false;
        }
        last = first;
        if (dash != std::string::npos && !parseNumber(range.substr(dash + 1), last)) {
            return false;
        }
    }
    if (first < 1 || last < first || last > kBeams) {
        return false;
    }
    event.firstBeam = first - 1;
    event.lastBeam = last - 1;
    return true;
}

// True when an image edit covers a byte of the area `code` of a set.
bool imageEditCovers(const ScenarioEdit& edit, int code) {
    const AreaRow& area = *findArea(code);
    const int end = edit.start + static_cast<int>(withoutBlanks(edit.text).size() / 2);
    for (int element = 0; element < area.elementCount; ++element) {
        for (int byte = 0; byte < area.elementBytes; ++byte) {
            const int address = area.address(element, byte);
            if (address >= edit.start && address < end) {
                return true;
            }
        }
    }
    return false;
}

// The beam counts and JOINT_NUM follow the connected sensors (--sensors); the rest of
// the emulator relies on them, so a scenario may not reach them by any key.
bool changesSensors(const ScenarioEdit& edit) {
    for (const int code : {kBeamCountArea, kJointNumArea}) {
        if (edit.area == code || (edit.area == kImageEdit && imageEditCovers(edit, code))) {
            return true;
        }
    }
    return false;
}

// "image:272", "103:128", "61" -> area and start.
bool parseKey(const std::string& key, ScenarioEdit& edit) {
    const auto colon = key.find(':');
    const std::string name = key.substr(0, colon);
    edit.start = 0;
    if (colon != std::string::npos && !parseNumber(key.substr(colon + 1), edit.start)) {
        return false;
    }
    if (name == "image") {
        edit.area = kImageEdit;
        return true;
    }
    return parseNumber(name, edit.area);
}

// A quoted value keeps its blanks (texts); otherwise blanks are dropped (hex digits).
std::string valueText(const std::string& raw, bool& quoted) {
    quoted = raw.size() >= 2 && raw.front() == '"' && raw.back() == '"';
    return quoted ? raw.substr(1, raw.size() - 2) : withoutBlanks(raw);
}

class Parser {
  public:
    explicit Parser(Scenario& s) : m_s(s) {}

    bool line(const std::string& rawLine, std::string& error) {
        std::string text = rawLine;
        if (const auto hash = text.find_first_of("#;"); hash != std::string::npos) {
            if (text.find('"') == std::string::npos || hash < text.find('"')) {
                text = text.substr(0, hash);
            }
        }
        text = trim(text);
        if (text.empty()) {
            return true;
        }
        if (text.front() == '[') {
            return section(text, error);
        }
        const auto eq = text.find('=');
        if (eq == std::string::npos) {
            error = "expected key = value";
            return false;
        }
        const std::string key = lower(trim(text.substr(0, eq)));
        bool quoted = false;
        const std::string value = valueText(trim(text.substr(eq + 1)), quoted);
        switch (m_section) {
            case Section::Current:
                return currentKey(key, value, error);
            case Section::Bank:
                return bankKey(key, value, error);
            case Section::Errors:
                return errorKey(key, value, error);
            case Section::Events:
                return eventKey(key, trim(text.substr(eq + 1)), error);
            case Section::None:
                break;
        }
        error = "key outside a section";
        return false;
    }

  private:
    enum class Section { None, Current, Bank, Errors, Events };

    bool section(const std::string& text, std::string& error) {
        const std::string name = lower(trim(text.substr(1, text.find(']') - 1)));
        if (text.back() != ']') {
            error = "bad section header";
            return false;
        }
        if (name == "current") {
            m_section = Section::Current;
        } else if (name == "errors") {
            m_section = Section::Errors;
        } else if (name == "events") {
            m_section = Section::Events;
        } else if (name.size() == 5 && name.rfind("bank", 0) == 0 && name[4] >= '1' &&
                   name[4] <= '4') {
            m_section = Section::Bank;
            m_bank = name[4] - '1';
        } else {
            error = "unknown section [" + name + "]";
            return false;
        }
        return true;
    }

    bool currentKey(const std::string& key, const std::string& value, std::string& error) {
        ScenarioEdit edit;
        if (!parseKey(key, edit)) {
            error = "bad key \"" + key + "\"";
            return false;
        }
        edit.text = value;
        if (changesSensors(edit)) {
            error = "the connected sensors are set with --sensors";
            return false;
        }
        SetMemory scratch(static_cast<size_t>(memorySize()), 0);
        if (const int rc = applyEdit(scratch, edit); rc != kOk) {
            error = rc == kUnknownId ? "unknown identifier" : "value does not fit \"" + key + "\"";
            return false;
        }
        m_s.current.push_back(edit);
        return true;
    }

    bool bankKey(const std::string& key, const std::string& value, std::string& error) {
        BankScenario& bank = m_s.banks[static_cast<size_t>(m_bank)];
        if (key == "clear") {
            if (value != "0" && value != "1") {
                error = "clear takes 0 or 1";
                return false;
            }
            bank.clear = value == "1";
            return true;
        }
        ScenarioEdit edit;
        if (!parseKey(key, edit) || edit.area != kImageEdit) {
            error = "a bank takes clear and image:START keys";
            return false;
        }
        edit.text = value;
        SetMemory scratch(kImageSize, 0);
        if (applyEdit(scratch, edit) != kOk) {
            error = "value does not fit \"" + key + "\"";
            return false;
        }
        bank.edits.push_back(edit);
        return true;
    }

    bool errorKey(const std::string& key, const std::string& value, std::string& error) {
        int number = 0;
        if (!parseNumber(key, number) || number < 1 || number > kErrorHistorySize) {
            error = "error entries are numbered 1 to 20";
            return false;
        }
        const std::string entry = withoutBlanks(value);
        if (!ErrorHistory::isValidEntry(entry)) {
            error = "an error entry is yymmddhhmmss rr CC SSSSSSSS";
            return false;
        }
        m_s.errors.emplace_back(number - 1, entry);
        return true;
    }

    // "4 = error A2", "2.5 = light CH1:5-8 40" (beams and channel 1-based, as people count).
    bool eventKey(const std::string& key, const std::string& value, std::string& error) {
        ScenarioEvent event;
        if (!parseSeconds(key, event.atMs)) {
            error = "an event's key is its time in seconds after start";
            return false;
        }
        std::istringstream words(value);
        std::string action;
        std::string first;
        std::string second;
        std::string extra;
        words >> action >> first >> second >> extra;
        action = lower(action);
        if (action == "error" && second.empty()) {
            long number = 0;
            if (!parseHexByte(first, number)) {
                error = "error takes a hexadecimal error number";
                return false;
            }
            event.kind = ScenarioEvent::Kind::Error;
            event.errorNumber = static_cast<int>(number);
        } else if (action == "light" && extra.empty()) {
            event.kind = ScenarioEvent::Kind::Light;
            if (!parseBeamRange(first, event) || !parseNumber(second, event.percent) ||
                event.percent > kMaxLightPercent) {
                error = "light takes CHn[:FIRST[-LAST]] and a percent 0.." +
                        std::to_string(kMaxLightPercent);
                return false;
            }
        } else {
            error = "an event is \"error HEX\" or \"light CHn[:FIRST[-LAST]] PERCENT\"";
            return false;
        }
        // Kept in time order; events of the same time in the order they were written.
        auto at =
            std::upper_bound(m_s.events.begin(), m_s.events.end(), event.atMs,
                             [](std::int64_t ms, const ScenarioEvent& e) { return ms < e.atMs; });
        m_s.events.insert(at, event);
        return true;
    }

    Scenario& m_s;
    Section m_section = Section::None;
    int m_bank = 0;
};

}  // namespace

int applyEdit(SetMemory& memory, const ScenarioEdit& edit) {
    if (edit.area == kImageEdit) {
        std::vector<std::uint8_t> bytes;
        if (!fromHex(edit.text, bytes) || edit.start + bytes.size() > kImageSize) {
            return kBadData;
        }
        std::copy(bytes.begin(), bytes.end(), memory.begin() + edit.start);
        return kOk;
    }
    const AreaRow* area = findArea(edit.area);
    if (area == nullptr) {
        return kUnknownId;
    }
    if (area->addressing == Addressing::String) {
        if (edit.start >= area->elementCount) {
            return kBadRange;
        }
        return writeText(memory, *area, edit.start, edit.text);
    }
    const int per = area->textPerElement();
    if (edit.text.empty() || edit.text.size() % static_cast<size_t>(per) != 0) {
        return kBadData;
    }
    const ElementRange range{edit.start, static_cast<int>(edit.text.size()) / per};
    if (range.first + range.count > area->elementCount) {
        return kBadRange;
    }
    return writeElements(memory, *area, range, edit.text);
}

bool Scenario::parse(const std::string& text, Scenario& scenario, std::string& error) {
    Scenario result;
    Parser parser(result);
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!parser.line(line, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    scenario = std::move(result);
    return true;
}

bool Scenario::load(const std::string& path, Scenario& scenario, std::string& error) {
    std::string content;
    if (!readInputFile(path, content, error)) {
        error = "scenario file: " + error;
        return false;
    }
    if (!parse(content, scenario, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace qavix::sim
