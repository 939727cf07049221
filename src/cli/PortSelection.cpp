#include "PortSelection.h"

#include "files/PortSettings.h"
#include "files/ProfileFile.h"

namespace qavix::cli {

PortSelection selectPort(const std::string& settingsPath, const DeviceOptions& options) {
    PortSelection selection;
    ProfileFile profile;
    if (!profile.load(settingsPath, &selection.error)) {
        return selection;
    }
    const PortSettings settings = PortSettings::load(profile);
    selection.link = makeLinkSettings(settings, options.port.value_or(settings.activePort),
                                      options.unit.value_or(settings.activeMachine));
    selection.networkTarget = options.networkTarget;
    return selection;
}

}  // namespace qavix::cli
