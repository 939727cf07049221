#include "journal/JournalSettings.h"

#include <cstdlib>
#include <filesystem>

#include "files/ProfileFile.h"

namespace qavix {

namespace {

bool absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

}  // namespace

JournalSettings JournalSettings::load(const ProfileFile& profile) {
    JournalSettings s;
    s.folder = profile.getString(kSection, kFolderKey, "");
    s.askReason = profile.getInt(kSection, kAskReasonKey, 0) != 0;
    return s;
}

void JournalSettings::save(ProfileFile& profile) const {
    profile.setInt(kSection, kAskReasonKey, askReason ? 1 : 0);
}

std::string defaultJournalFolder(const char* xdgStateHome, const char* home) {
    namespace fs = std::filesystem;
    if (absolute(xdgStateHome)) {
        return (fs::path(xdgStateHome) / "qavix" / "journal").string();
    }
    if (absolute(home)) {
        return (fs::path(home) / ".local" / "state" / "qavix" / "journal").string();
    }
    return {};
}

std::string journalFolder(const std::string& configured) {
    if (configured.empty()) {
        return defaultJournalFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    }
    std::error_code ec;
    const std::filesystem::path absolutePath = std::filesystem::absolute(configured, ec);
    return ec ? configured : absolutePath.lexically_normal().string();
}

}  // namespace qavix
