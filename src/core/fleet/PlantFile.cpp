#include "fleet/PlantFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <map>

#include "IniText.h"
#include "NetworkAddress.h"
#include "PortResolver.h"
#include "Translate.h"
#include "files/FileIo.h"
#include "files/PortSettings.h"

namespace qavix::fleet {

namespace {

constexpr const char* kKnownKeys = "port, unit, golden, banks, baud, databits, parity, stopbits";

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
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
        const auto bank = parseNumber(ini::trim(text.substr(at, comma - at)), 1, 4);
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

    // The lines as the settings-text rule read them, in the order of the text: a header
    // starts a controller, and whatever the rule found wrong in a line counts against the
    // controller it is in.
    Plant read(const ini::SettingsText& text) {
        constexpr int kNone = std::numeric_limits<int>::max();
        size_t section = 0;
        size_t setting = 0;
        size_t wrong = 0;
        for (;;) {
            const int header = section < text.sections.size() ? text.sections[section].line : kNone;
            const int key = setting < text.settings.size() ? text.settings[setting].line : kNone;
            const int fault = wrong < text.problems.size() ? text.problems[wrong].line : kNone;
            const int next = std::min({header, key, fault});
            if (next == kNone) {
                break;
            }
            if (next == fault) {
                problem(fault, text.problems[wrong++].message);
                m_valid = false;
            } else if (next == header) {
                startSection(header, text.sections[section++].name);
            } else {
                const ini::SettingLine& line = text.settings[setting++];
                if (m_inJournal) {
                    readJournalKey(line.line, lower(line.key), line.value);
                } else if (!m_current) {
                    problem(line.line, QX_("コントローラのセクションの外にキーがあります"));
                } else {
                    readKey(line.line, lower(line.key), line.value);
                }
            }
        }
        finishSection();
        if (m_plant.controllers.empty() && m_plant.problems.empty()) {
            problem(0, QX_("コントローラがありません: ファイルに [NAME] セクションがありません"));
        }
        return std::move(m_plant);
    }

  private:
    void problem(int line, std::string message) {
        m_plant.problems.push_back({line, std::move(message)});
    }

    // [Journal]: the folder of the change journal, the section's only key.
    void readJournalKey(int number, const std::string& key, std::string_view value) {
        if (key != "folder") {
            problem(number,
                    i18n::fill(QX_("[Journal] のキー '%1' は使えません（使えるキー: folder）"),
                               {ini::printable(key)}));
        } else if (value.empty() || hasControlCharacter(value)) {
            problem(number, QX_("変更履歴のフォルダは制御文字のないパスで指定してください"));
        } else {
            m_plant.journalFolder = resolve(value);
        }
    }

    void startSection(int number, std::string_view name) {
        finishSection();
        m_inJournal = lower(name) == kJournalSection;
        if (m_inJournal) {
            if (m_journalLine != 0) {
                problem(number, i18n::fill(QX_("[Journal] が2回あります（最初は %1 行目）"),
                                           {std::to_string(m_journalLine)}));
            }
            m_journalLine = number;
            return;
        }
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
                    firstName == name
                        ? i18n::fill(QX_("名前 '%1' が重複しています（最初は %2 行目）"),
                                     {ini::printable(name), std::to_string(line)})
                        : i18n::fill(QX_("名前 '%1' が重複しています（最初は %2 行目の '%3'）"),
                                     {ini::printable(name), std::to_string(line),
                                      ini::printable(firstName)}));
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
            problem(number, i18n::fill(QX_("キー '%1' は使えません（使えるキー: %2）"),
                                       {ini::printable(key), kKnownKeys}));
            m_valid = false;
            return;
        }
        // A key given twice in a section is the settings-text rule's to refuse.
        m_keysSeen.emplace(key, number);
        if (value.empty()) {
            problem(number, i18n::fill(QX_("キー '%1' に値がありません"), {key}));
            m_valid = false;
            return;
        }
        std::string bad;
        if (key == "port") {
            bad = portProblem(value);
            c.port = std::string(value);
        } else if (key == "unit") {
            const auto unit = parseNumber(value, 0, kMaxUnit);
            bad = unit ? ""
                       : i18n::fill(QX_("unit は 0 から %1 までの数値で指定してください"),
                                    {std::to_string(kMaxUnit)});
            c.unit = unit.value_or(0);
        } else if (key == "golden") {
            bad = hasControlCharacter(value) ? QX_("golden に制御文字があります") : "";
            c.golden = resolve(value);
        } else if (key == "banks") {
            const auto banks = parseBanks(value);
            bad = banks
                      ? ""
                      : QX_("banks は 'all'、'none' またはバンク番号 1 から 4（\"1,3\"）で指定して"
                            "ください");
            c.banks = banks.value_or(c.banks);
        } else if (key == "baud") {
            const auto baud = parseNumber(value, 1, 1000000);
            const bool offered =
                baud && std::find(kBaudRates.begin(), kBaudRates.end(), *baud) != kBaudRates.end();
            bad = offered ? ""
                          : QX_("baud は 9600、14400、19200、38400、57600、115200 のどれかで"
                                "指定してください");
            c.baud = baud;
        } else if (key == "databits") {
            c.dataBits = parseNumber(value, 7, 8);
            bad = c.dataBits ? "" : QX_("databits は 7 か 8 で指定してください");
        } else if (key == "parity") {
            const std::string word = lower(value);
            bad = word == "even" || word == "none"
                      ? ""
                      : QX_("parity は 'even' か 'none' で指定してください");
            c.evenParity = word == "even";
        } else if (key == "stopbits") {
            c.stopBits = parseNumber(value, 1, 2);
            bad = c.stopBits ? "" : QX_("stopbits は 1 か 2 で指定してください");
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
                problem(m_current->line, i18n::fill(QX_("[%1] に %2 がありません"),
                                                    {ini::printable(m_current->name), required}));
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
    bool m_inJournal = false;
    int m_journalLine = 0;                                       // of the [Journal] header
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
    const std::string quoted = i18n::fill(QX_("port '%1'"), {ini::printable(text)});
    if (hasControlCharacter(port)) {
        return i18n::fill(QX_("%1 に制御文字があります"), {quoted});
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
    return i18n::fill(
        QX_("%1 は COMn、デバイスのパス（/dev/...）、sim:OPTIONS、ネットワークの接続先"
            "（tcp:HOST:PORT、rfc2217:HOST:PORT）のどれでもありません"),
        {quoted});
}

Plant parsePlant(std::string_view text, const std::string& folder) {
    return Reader(folder).read(ini::readSettingsText(text));
}

Plant readPlantFile(const std::string& path) {
    const fileio::ReadResult file = fileio::readFile(path);
    if (!file.ok()) {
        Plant plant;
        plant.problems.push_back({0, file.error});
        return plant;
    }
    return parsePlant(file.bytes, std::filesystem::path(path).parent_path().string());
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
