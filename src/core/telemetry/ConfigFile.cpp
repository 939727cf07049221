#include "telemetry/ConfigFile.h"

#include <algorithm>
#include <cctype>

namespace qavix::telemetry {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool validKey(const std::string& key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
        return std::islower(static_cast<unsigned char>(c)) ||
               std::isdigit(static_cast<unsigned char>(c)) || c == '-';
    });
}

}  // namespace

bool parseConfigText(const std::string& text, ConfigEntries& out, std::string& error) {
    ConfigEntries entries;
    size_t pos = 0;
    int number = 0;
    bool otherSection = false;
    while (pos <= text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        std::string line = trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++number;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (line.find('\0') != std::string::npos) {
            error = where + "a NUL byte";
            return false;
        }
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                error = where + "bad section header";
                return false;
            }
            otherSection = trim(line.substr(1, line.size() - 2)) != "monitor";
            if (otherSection) {
                error = where + "unknown section " + line + " (only [monitor])";
                return false;
            }
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            error = where + "expected key = value";
            return false;
        }
        std::string key = trim(line.substr(0, eq));
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (!validKey(key)) {
            error = where + "bad key \"" + key + "\"";
            return false;
        }
        std::string value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        } else if (const auto hash = value.find(" #"); hash != std::string::npos) {
            value = trim(value.substr(0, hash));
        }
        entries.emplace_back(std::move(key), std::move(value));
    }
    out = std::move(entries);
    error.clear();
    return true;
}

}  // namespace qavix::telemetry
