#include "sim/Options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

namespace qavix::sim {

namespace {

constexpr int kMaxErrorNumber = 0xFF;
constexpr int kMinBitsPerCharacter = 7;
constexpr int kMaxBitsPerCharacter = 12;
constexpr int kMaxLineRate = 4000000;
constexpr int kMaxEvery = 1000000;
constexpr int kMaxHangAfter = 1000000000;

bool parseInt(const std::string& text, long long lo, long long hi, long long& out, int base = 10) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, base);
    if (errno != 0 || end == text.c_str() || *end != '\0' || value < lo || value > hi) {
        return false;
    }
    out = value;
    return true;
}

bool parseBeams(const std::string& text, std::vector<int>& beams) {
    std::vector<int> result;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, ',')) {
        long long n = 0;
        if (!parseInt(piece, 1, kMaxBeamsPerSensor, n)) {
            return false;
        }
        result.push_back(static_cast<int>(n));
    }
    if (result.empty() || result.size() > kMaxSensors || text.back() == ',') {
        return false;
    }
    beams = result;
    return true;
}

bool parseUnits(const std::string& text, std::vector<int>& units) {
    std::vector<int> result;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, ',')) {
        long long n = 0;
        if (!parseInt(piece, 0, kMaxUnit, n)) {
            return false;
        }
        result.push_back(static_cast<int>(n));
    }
    if (result.empty() || text.back() == ',') {
        return false;
    }
    units = result;
    return true;
}

using Setter = std::function<bool(const std::string&, Options&)>;

Setter intSetter(int Options::*field, long long lo, long long hi) {
    return [field, lo, hi](const std::string& v, Options& o) {
        long long n = 0;
        if (!parseInt(v, lo, hi, n)) {
            return false;
        }
        o.*field = static_cast<int>(n);
        return true;
    };
}

// A file name: anything but empty.
Setter textSetter(std::string Options::*field) {
    return [field](const std::string& v, Options& o) {
        o.*field = v;
        return !v.empty();
    };
}

// One of two words; `yes` sets the switch.
Setter switchSetter(bool Options::*field, const char* yes, const char* no) {
    return [field, yes, no](const std::string& v, Options& o) {
        o.*field = v == yes;
        return v == yes || v == no;
    };
}

bool setState(const std::string& v, Options& o) {
    long long n = 0;
    if (!parseInt(v, 0, kStateFactory, n) ||
        (n != kStateNormal && n != kStateSetting && n != kStateError && n != kStateFactory)) {
        return false;
    }
    o.state = static_cast<int>(n);
    return true;
}

bool setErrorNumber(const std::string& v, Options& o) {
    std::string digits = v;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
    }
    long long n = 0;
    if (digits.size() > 2 || !parseInt(digits, 0, kMaxErrorNumber, n, 16)) {
        return false;
    }
    o.errorNumber = static_cast<int>(n);
    return true;
}

bool setSeed(const std::string& v, Options& o) {
    if (v.empty() || v[0] == '-') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long n = std::strtoull(v.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') {
        return false;
    }
    o.seed = n;
    return true;
}

bool setLineRate(const std::string& v, Options& o) {
    if (v == "tty") {
        o.lineRate = kLineRateFromTerminal;
        return true;
    }
    return intSetter(&Options::lineRate, 0, kMaxLineRate)(v, o);
}

bool setSensors(const std::string& v, Options& o) {
    return parseBeams(v, o.beams);
}

bool setMoreUnits(const std::string& v, Options& o) {
    return parseUnits(v, o.moreUnits);
}

const std::map<std::string, Setter>& setters() {
    static const std::map<std::string, Setter> table = {
        {"--sensors", setSensors},
        {"--unit", intSetter(&Options::unit, 0, kMaxUnit)},
        {"--more-units", setMoreUnits},
        {"--state", setState},
        {"--error", setErrorNumber},
        {"--scenario", textSetter(&Options::scenarioFile)},
        {"--bank-file", textSetter(&Options::bankFile)},
        {"--bank-image", textSetter(&Options::bankImage)},
        {"--seed", setSeed},
        {"--light", switchSetter(&Options::steadyLight, "steady", "live")},
        {"--line-rate", setLineRate},
        {"--bits",
         intSetter(&Options::bitsPerCharacter, kMinBitsPerCharacter, kMaxBitsPerCharacter)},
        {"--drop", intSetter(&Options::dropEvery, 0, kMaxEvery)},
        {"--corrupt", intSetter(&Options::corruptEvery, 0, kMaxEvery)},
        {"--hang-after", intSetter(&Options::hangAfter, 0, kMaxHangAfter)},
        {"--log", textSetter(&Options::logFile)},
        {"--log-times", switchSetter(&Options::logTimes, "on", "off")},
        {"--instant-timeout", switchSetter(&Options::instantTimeout, "on", "off")},
    };
    return table;
}

}  // namespace

bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    Options result = options;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool haveValue = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            haveValue = true;
        }
        const auto it = setters().find(name);
        if (it == setters().end()) {
            error = "unknown option: " + args[i];
            return false;
        }
        if (!haveValue) {
            if (i + 1 >= args.size()) {
                error = "missing value for " + name;
                return false;
            }
            value = args[++i];
        }
        if (!it->second(value, result)) {
            error = "bad value for " + name + ": \"" + value + "\"";
            return false;
        }
    }
    options = result;
    error.clear();
    return true;
}

bool parseOptionText(const std::string& text, Options& options, std::string& error) {
    std::string rest = text;
    if (rest.rfind("sim:", 0) == 0) {
        rest = rest.substr(4);
    } else if (rest == "sim") {
        rest.clear();
    }
    std::vector<std::string> args;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : rest) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) {
                args.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        error = "unbalanced quote in: " + text;
        return false;
    }
    if (inWord) {
        args.push_back(word);
    }
    return parseOptions(args, options, error);
}

std::string optionsHelp() {
    return "  --sensors N[,N[,N]]  beams of each connected sensor, 1..128 (default 40,32)\n"
           "  --unit N             unit number answered, 0..99 (default 0)\n"
           "  --more-units N[,N]   further controllers on the same line, with these units\n"
           "  --state S            state at power-on: 0 normal, 1 setting, 2 error, 30 factory\n"
           "  --error HEX          error number of state 2 (default C8)\n"
           "  --scenario FILE      initial settings, banks and error log\n"
           "  --bank-file FILE     start with the settings and sensors of a bank file (.qbk)\n"
           "  --bank-image HEX     the same from a bank image's 2268 hexadecimal digits\n"
           "  --seed N             seed of the received-light model (default 1)\n"
           "  --light MODE         live (drift, noise, passing objects; default) or steady\n"
           "  --line-rate BAUD     delay replies as a line of that rate would; tty: the\n"
           "                       terminal's rate; 0: no delay (default)\n"
           "  --bits N             bits per character of the line model, 7..12 (default 11)\n"
           "  --drop N             swallow every N-th reply\n"
           "  --corrupt N          spoil the check character of every N-th reply\n"
           "  --hang-after N       stop answering after N requests (pulled cable)\n"
           "  --log FILE           log one line per request\n"
           "  --log-times on       start each log line with the steady clock in ms\n"
           "  --instant-timeout on built-in emulator only: an unanswered request times out\n"
           "                       at once (tests)\n";
}

}  // namespace qavix::sim
