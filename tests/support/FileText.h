#pragma once
// What tests read back from the files a program wrote.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qavix::test {

// The whole file, or "" when it cannot be read.
inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

// How often `part` stands in `text` (a message said once, not on every cycle).
inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

inline size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

}  // namespace qavix::test
