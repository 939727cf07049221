#include "comm/LinkSettings.h"

namespace qavix {

LinkSettings makeLinkSettings(const PortSettings& settings, int activePort, int unit) {
    LinkSettings link;
    link.activePort = activePort >= 0 && activePort < kPortCount ? activePort : 0;
    link.unit = unit >= 0 ? unit : 0;
    for (size_t p = 0; p < link.blocks.size(); ++p) {
        link.blocks[p] = settings.ports[p].block(link.unit);
    }
    return link;
}

std::string portNameOf(const LinkSettings& settings) {
    if (!settings.portName.empty()) {
        return settings.portName;
    }
    return "COM" + std::to_string(settings.activePort + 1);
}

}  // namespace qavix
