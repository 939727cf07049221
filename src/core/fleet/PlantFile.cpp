#include "fleet/PlantFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "IniText.h"
#include "NetworkAddress.h"
#include "PortResolver.h"
#include "ShiftJis.h"
#include "Utf8.h"
#include "files/FileIo.h"
#include "files/PortSettings.h"

namespace qavix::fleet {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

constexpr const char* kKnownKeys = "port, unit, golden, banks, baud, databits, parity, stopbits";

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string_view trim(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// A value may be quoted to keep blanks at its ends.
std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

bool hasControlCharacter(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

std::optional<int> parseNumber(std::string_view text, int lo, int hi) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + (c - '0');
    }
    if (n < lo || n > hi) {
        return std::nullopt;
    }
    return n;
}

// "1,3", "all", "none".
std::optional<std::array<bool, 4>> parseBanks(std::string_view text) {
    const std::string word = lower(text);
    if (word == "all") {
        return std::array<bool, 4>{true, true, true, true};
    }
    if (word == "none") {
        return std::array<bool, 4>{};
    }
    std::array<bool, 4> banks{};
    size_t at = 0;
    while (at <= text.size()) {
        const size_t comma = std::min(text.find(',', at), text.size());
        const auto bank = parseNumber(trim(text.substr(at, comma - at)), 1, 4);
        if (!bank || banks[static_cast<size_t>(*bank - 1)]) {
            return std::nullopt;
        }
        banks[static_cast<size_t>(*bank - 1)] = true;
        at = comma + 1;
    }
    return banks;
}

class Reader {
  public:
    explicit Reader(std::string folder) : m_folder(std::move(folder)) {}

    Plant read(std::string_view text) {
        if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
            text.remove_prefix(kUtf8Bom.size());
        }
        int number = 0;
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find('\n', at);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            std::string_view line = text.substr(at, end - at);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            readLine(++number, trim(line));
            at = end + 1;
        }
        finishSection();
        if (m_plant.controllers.empty() && m_plant.problems.empty()) {
            problem(0, "no controller: the file holds no [NAME] section");
        }
        return std::move(m_plant);
    }

  private:
    void problem(int line, std::string message) {
        m_plant.problems.push_back({line, std::move(message)});
    }

    void readLine(int number, std::string_view line) {
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            return;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                problem(number, "a section header must end with ']'");
                return;
            }
            startSection(number, trim(line.substr(1, line.size() - 2)));
            return;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            problem(number, "expected KEY = VALUE or [NAME]");
            return;
        }
        if (!m_current) {
            problem(number, "a key outside any controller section");
            return;
        }
        readKey(number, lower(trim(line.substr(0, equals))),
                unquote(trim(line.substr(equals + 1))));
    }

    void startSection(int number, std::string_view name) {
        finishSection();
        m_current = PlantController{};
        m_current->name = std::string(name);
        m_current->line = number;
        m_keysSeen.clear();
        m_valid = true;
        if (const std::string why = nameProblem(name); !why.empty()) {
            problem(number, why);
            m_valid = false;
            return;
        }
        // Folder names that differ only in case or in the form of their letters are one
        // folder on some file systems; a backup copied there would lose one of the two.
        const std::string key = nameFoldKey(name);
        if (const auto first = m_names.find(key); first != m_names.end()) {
            const auto& [line, firstName] = first->second;
            problem(number,
                    "duplicate name '" + ini::printable(name) + "' (first at line " +
                        std::to_string(line) +
                        (firstName == name ? "" : " as '" + ini::printable(firstName) + "'") + ")");
            m_valid = false;
        } else {
            m_names.emplace(key, std::make_pair(number, std::string(name)));
        }
    }

    void readKey(int number, const std::string& key, std::string_view value) {
        PlantController& c = *m_current;
        const bool known = key == "port" || key == "unit" || key == "golden" || key == "banks" ||
                           key == "baud" || key == "databits" || key == "parity" ||
                           key == "stopbits";
        if (!known) {
            problem(number,
                    "unknown key '" + ini::printable(key) + "' (known: " + kKnownKeys + ")");
            m_valid = false;
            return;
        }
        if (const auto first = m_keysSeen.find(key); first != m_keysSeen.end()) {
            problem(number, "key '" + key + "' given twice (first at line " +
                                std::to_string(first->second) + ")");
            m_valid = false;
            return;
        }
        m_keysSeen.emplace(key, number);
        if (value.empty()) {
            problem(number, "key '" + key + "' has no value");
            m_valid = false;
            return;
        }
        std::string bad;
        if (key == "port") {
            bad = portProblem(value);
            c.port = std::string(value);
        } else if (key == "unit") {
            const auto unit = parseNumber(value, 0, kMaxUnit);
            bad = unit ? "" : "unit must be a number from 0 to " + std::to_string(kMaxUnit);
            c.unit = unit.value_or(0);
        } else if (key == "golden") {
            bad = hasControlCharacter(value) ? "golden holds a control character" : "";
            c.golden = resolve(value);
        } else if (key == "banks") {
            const auto banks = parseBanks(value);
            bad = banks ? "" : "banks must be 'all', 'none' or bank numbers 1 to 4 (\"1,3\")";
            c.banks = banks.value_or(c.banks);
        } else if (key == "baud") {
            const auto baud = parseNumber(value, 1, 1000000);
            const bool offered =
                baud && std::find(kBaudRates.begin(), kBaudRates.end(), *baud) != kBaudRates.end();
            bad = offered ? "" : "baud must be one of 9600, 14400, 19200, 38400, 57600, 115200";
            c.baud = baud;
        } else if (key == "databits") {
            c.dataBits = parseNumber(value, 7, 8);
            bad = c.dataBits ? "" : "databits must be 7 or 8";
        } else if (key == "parity") {
            const std::string word = lower(value);
            bad = word == "even" || word == "none" ? "" : "parity must be 'even' or 'none'";
            c.evenParity = word == "even";
        } else if (key == "stopbits") {
            c.stopBits = parseNumber(value, 1, 2);
            bad = c.stopBits ? "" : "stopbits must be 1 or 2";
        }
        if (!bad.empty()) {
            problem(number, bad);
            m_valid = false;
        }
    }

    void finishSection() {
        if (!m_current) {
            return;
        }
        for (const char* required : {"port", "unit"}) {
            if (m_keysSeen.count(required) == 0) {
                problem(m_current->line,
                        "[" + ini::printable(m_current->name) + "] has no " + required);
                m_valid = false;
            }
        }
        if (m_valid) {
            m_plant.controllers.push_back(std::move(*m_current));
        }
        m_current.reset();
    }

    std::string resolve(std::string_view path) const {
        const std::filesystem::path p{std::string(path)};
        if (p.is_absolute() || m_folder.empty()) {
            return p.string();
        }
        return (std::filesystem::path(m_folder) / p).string();
    }

    std::string m_folder;
    Plant m_plant;
    std::optional<PlantController> m_current;
    bool m_valid = true;
    std::map<std::string, std::pair<int, std::string>> m_names;  // folded name -> line, name
    std::map<std::string, int> m_keysSeen;                       // of the current section
};

}  // namespace

const PlantController* Plant::find(std::string_view name) const {
    for (const PlantController& c : controllers) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

std::string portProblem(std::string_view port) {
    const std::string text(port);
    const std::string quoted = "port '" + ini::printable(text) + "'";
    if (hasControlCharacter(port)) {
        return quoted + " holds a control character";
    }
    if (link::comPortNumber(text) || port.front() == '/' || port == "sim" ||
        port.substr(0, 4) == "sim:") {
        return {};
    }
    if (link::isNetworkValue(text)) {
        link::AddressProblem why = link::AddressProblem::None;
        if (link::parseNetworkAddress(text, &why)) {
            return {};
        }
        return quoted + ": " + link::addressProblemText(why);
    }
    return quoted +
           " is none of COMn, a device path (/dev/...), sim:OPTIONS or a network target "
           "(tcp:HOST:PORT, rfc2217:HOST:PORT)";
}

Plant parsePlant(std::string_view text, const std::string& folder) {
    return Reader(folder).read(text);
}

Plant readPlantFile(const std::string& path) {
    const fileio::ReadResult file = fileio::readFile(path);
    if (!file.ok()) {
        Plant plant;
        plant.problems.push_back({0, file.error});
        return plant;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (utf8::isValid(file.bytes)) {
        return parsePlant(file.bytes, folder);
    }
    const sjis::Conversion converted = sjis::fromCp932(file.bytes);
    if (!converted.complete) {
        Plant plant;
        const auto before = std::string_view(file.bytes).substr(0, converted.firstFailure);
        const int line = static_cast<int>(std::count(before.begin(), before.end(), '\n')) + 1;
        plant.problems.push_back({line, "a byte that is neither UTF-8 nor Shift-JIS"});
        return plant;
    }
    return parsePlant(converted.text, folder);
}

std::string describeProblems(const Plant& plant, const std::string& path) {
    std::string text;
    for (const PlantProblem& p : plant.problems) {
        text += ini::printable(path);
        if (p.line > 0) {
            text += ":" + std::to_string(p.line);
        }
        text += ": " + p.message + "\n";
    }
    return text;
}

}  // namespace qavix::fleet
