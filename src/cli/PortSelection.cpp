#include "PortSelection.h"

#include <iostream>

#include "IniText.h"
#include "files/PortSettings.h"
#include "files/ProfileFile.h"
#include "journal/JournalSettings.h"

namespace qavix::cli {

PortSelection selectPort(const std::string& settingsPath, const DeviceOptions& options) {
    PortSelection selection;
    const ProfileFile profile = ProfileFile::loadSettings(settingsPath, selection.unreadable);
    const PortSettings settings = PortSettings::load(profile);
    selection.link = makeLinkSettings(settings, options.port.value_or(settings.activePort),
                                      options.unit.value_or(settings.activeMachine));
    selection.networkTarget = options.networkTarget;
    return selection;
}

std::string selectJournalFolder(const std::string& settingsPath, const DeviceOptions& options) {
    if (!options.journalFolder.empty()) {
        return journalFolder(options.journalFolder);
    }
    std::string unreadable;
    const ProfileFile profile = ProfileFile::loadSettings(settingsPath, unreadable);
    return journalFolder(JournalSettings::load(profile).folder);
}

void reportUnreadableSettings(const PortSelection& selection) {
    if (!selection.unreadable.empty()) {
        std::cerr << ini::printable(selection.unreadable) << "; the default settings are used\n";
    }
}

}  // namespace qavix::cli
