#include "sim/BankFileImage.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "sim/HexText.h"

namespace qavix::sim {

namespace {

// The sections whose values make up the image, in image order: the three channel
// configurations, then general, thresholds, zero tables and extended block.
const char* const kImageSections[] = {"CH1", "CH2", "CH3", "CONTROLLER"};
constexpr int kMaxSensorsInFile = 3;
constexpr int kMaxBeamsInFile = 128;

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Section name -> the values of its entries joined in line order.
std::map<std::string, std::string> joinedSections(const std::string& text) {
    std::map<std::string, std::string> sections;
    std::istringstream in(text);
    std::string line;
    std::string* current = nullptr;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            current = &sections[upper(line.substr(1, line.size() - 2))];
            continue;
        }
        if (current != nullptr) {
            const size_t eq = line.find('=');
            *current += eq == std::string::npos ? line : line.substr(eq + 1);
        }
    }
    return sections;
}

}  // namespace

bool parseBankFileImage(const std::string& text, BankFileImage& out, std::string& error) {
    const std::map<std::string, std::string> sections = joinedSections(text);
    std::string hex;
    for (const char* name : kImageSections) {
        const auto it = sections.find(name);
        if (it == sections.end()) {
            error = std::string("bank file has no [") + name + "] section";
            return false;
        }
        hex += it->second;
    }
    std::vector<std::uint8_t> bytes;
    if (hex.size() != 2 * static_cast<size_t>(kImageSize) || !fromHex(hex, bytes)) {
        error = "bank file does not hold one bank image of " + std::to_string(kImageSize) +
                " bytes in hexadecimal";
        return false;
    }
    // JOINT_NUM is written in decimal; for 1 to 3 the digits read the same in hexadecimal.
    const int joint = bytes[image::kGeneral + image::kJointNum];
    if (joint < 1 || joint > kMaxSensorsInFile) {
        error = "bank file names " + std::to_string(joint) + " sensors";
        return false;
    }
    std::vector<int> beams;
    for (int c = 0; c < joint; ++c) {
        const int count = bytes[static_cast<size_t>(image::kChannelSize * c + image::kBeamCount)];
        if (count < 1 || count > kMaxBeamsInFile) {
            error = "bank file gives CH" + std::to_string(c + 1) + " " + std::to_string(count) +
                    " beams";
            return false;
        }
        beams.push_back(count);
    }
    out.image = SetMemory(bytes.begin(), bytes.end());
    out.beams = beams;
    return true;
}

bool loadBankFileImage(const std::string& path, BankFileImage& out, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open bank file " + path;
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (!parseBankFileImage(content.str(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace qavix::sim
