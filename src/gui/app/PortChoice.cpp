#include "app/PortChoice.h"

#include "files/PortSettings.h"
#include "files/ProfileFile.h"

namespace qavix {

PortChoice loadPortChoice(const ProfileFile& profile) {
    const PortSettings settings = PortSettings::load(profile);
    PortChoice c;
    c.activePort = settings.activePort;
    c.activeMachine = settings.activeMachine;
    for (size_t p = 0; p < static_cast<size_t>(PortChoice::kPorts); ++p) {
        c.baudIndex[p] = settings.ports[p].baudIndex;
        const PortBlock block = settings.ports[p].block(settings.activeMachine);
        for (size_t w = 0; w < block.size(); ++w) {
            c.blocks[p][w] = block[w];
        }
    }
    return c;
}

void savePortChoice(ProfileFile& profile, const PortChoice& choice) {
    profile.setInt(PortSettings::kMainSection, "ActivePort", choice.activePort);
    profile.setInt(PortSettings::kMainSection, "ActiveMachine", choice.activeMachine);
}

}  // namespace qavix
