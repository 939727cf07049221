#include "frame/ManualLocation.h"

#include <filesystem>

namespace qavix {

namespace {

// A system-wide installation, for a program copied or linked elsewhere.
constexpr const char* kSystemManual = "/usr/share/doc/qavix/manual/index.html";

}  // namespace

std::vector<std::string> manualCandidates(const std::string& executableDir) {
    std::vector<std::string> places;
    if (!executableDir.empty()) {
        places.push_back((std::filesystem::path(executableDir) / kManualRelativePath)
                             .lexically_normal()
                             .string());
    }
    if (places.empty() || places.front() != kSystemManual) {
        places.emplace_back(kSystemManual);
    }
    return places;
}

std::string findManual(const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec)) {
            return path;
        }
    }
    return {};
}

std::string manualMissingMessage(const std::vector<std::string>& candidates) {
    std::string text = kManualMissingText;
    for (const std::string& path : candidates) {
        text += "  " + path + "\n";
    }
    return text;
}

}  // namespace qavix
