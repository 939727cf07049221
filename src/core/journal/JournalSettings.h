#pragma once
// Where the change journal lives and whether a write asks for its reason: section
// [Journal] of Qavix.ini (and of a plant file), keys Folder and AskReason. Without Folder the
// journal is $XDG_STATE_HOME/qavix/journal, or ~/.local/state/qavix/journal.

#include <string>

namespace qavix {

class ProfileFile;

struct JournalSettings {
    static constexpr const char* kSection = "Journal";
    static constexpr const char* kFolderKey = "Folder";
    static constexpr const char* kAskReasonKey = "AskReason";

    std::string folder;  // as configured; empty for the default
    bool askReason = false;

    static JournalSettings load(const ProfileFile& profile);
    // Writes AskReason; Folder is the plant's or the administrator's and only ever read.
    void save(ProfileFile& profile) const;
};

// The default folder for the given environment values (null when unset); empty when neither
// gives an absolute path. A relative XDG_STATE_HOME is ignored, as the XDG rules say.
std::string defaultJournalFolder(const char* xdgStateHome, const char* home);

// The folder to use: `configured` made absolute against the working directory, else the
// default of this process's environment.
std::string journalFolder(const std::string& configured);

}  // namespace qavix
