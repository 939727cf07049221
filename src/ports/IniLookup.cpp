#include "IniLookup.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace qavix::link {

namespace {

std::string trim(const std::string& text) {
    const auto notBlank = [](unsigned char c) { return !std::isspace(c); };
    auto first = std::find_if(text.begin(), text.end(), notBlank);
    auto last = std::find_if(text.rbegin(), text.rend(), notBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

std::optional<std::string> readIniValue(const std::string& path, const std::string& section,
                                        const std::string& key) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    bool inSection = false;
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line.front() == '[') {
            const auto close = line.find(']');
            inSection = close != std::string::npos &&
                        equalsIgnoringCase(trim(line.substr(1, close - 1)), section);
            continue;
        }
        const auto equals = line.find('=');
        if (inSection && equals != std::string::npos &&
            equalsIgnoringCase(trim(line.substr(0, equals)), key)) {
            return trim(line.substr(equals + 1));
        }
    }
    return std::nullopt;
}

}  // namespace qavix::link
