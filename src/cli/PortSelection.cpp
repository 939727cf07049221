#include "PortSelection.h"

#include "files/PortSettings.h"
#include "files/ProfileFile.h"

namespace qavix::cli {

PortSelection selectPort(const std::string& settingsPath, const DeviceOptions& options) {
    static_assert(kSelectablePorts == kPortCount, "one block per COM port");
    PortSelection selection;
    ProfileFile profile;
    if (!profile.load(settingsPath, &selection.error)) {
        return selection;
    }
    const PortSettings settings = PortSettings::load(profile);
    selection.activePort = options.port.value_or(settings.activePort);
    selection.unit = options.unit.value_or(settings.activeMachine);
    for (size_t p = 0; p < selection.blocks.size(); ++p) {
        const PortBlock block = settings.ports[p].block(selection.unit);
        for (size_t i = 0; i < block.size(); ++i) {
            selection.blocks[p][i] = block[i];
        }
    }
    return selection;
}

}  // namespace qavix::cli
