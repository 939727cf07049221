#include "frame/ManualLocation.h"

#include <algorithm>
#include <filesystem>

#include "state/UiText.h"

namespace qavix {

namespace {

// A system-wide installation, for a program copied or linked elsewhere.
constexpr const char* kSystemManualFolder = "/usr/share/doc/qavix/manual";
constexpr const char* kManualPage = "index.html";
constexpr const char* kManualLanguage = "ja";

void addPlaces(std::vector<std::string>& places, const std::string& executableDir,
               const std::string& languageFolder) {
    std::vector<std::filesystem::path> folders;
    if (!executableDir.empty()) {
        folders.push_back(std::filesystem::path(executableDir) / kManualRelativeFolder);
    }
    folders.emplace_back(kSystemManualFolder);
    for (const std::filesystem::path& folder : folders) {
        const std::string place =
            (folder / languageFolder / kManualPage).lexically_normal().string();
        if (std::find(places.begin(), places.end(), place) == places.end()) {
            places.push_back(place);
        }
    }
}

}  // namespace

std::vector<std::string> manualCandidates(const std::string& executableDir,
                                          const std::string& language) {
    std::vector<std::string> places;
    // Only a language's name is a folder: nothing else may lead the search out of the manual.
    const bool named =
        !language.empty() &&
        language.find_first_not_of("abcdefghijklmnopqrstuvwxyz_ABCDEFGHIJKLMNOPQRSTUVWXYZ") ==
            std::string::npos;
    if (named && language != kManualLanguage) {
        addPlaces(places, executableDir, language);
    }
    addPlaces(places, executableDir, "");
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
    std::string text = uiText("qavix::ManualLocation", kManualMissingText);
    for (const std::string& path : candidates) {
        text += "  " + path + "\n";
    }
    return text;
}

}  // namespace qavix
