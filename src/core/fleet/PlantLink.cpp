#include "fleet/PlantLink.h"

#include <algorithm>

#include "PortResolver.h"

namespace qavix::fleet {

LinkSettings plantLinkSettings(const PlantController& controller, const PortSettings& ini) {
    PortSetting line;
    if (const auto number = link::comPortNumber(controller.port); number && *number <= kPortCount) {
        line = ini.ports[static_cast<size_t>(*number - 1)];
    }
    if (controller.baud) {
        const auto it = std::find(kBaudRates.begin(), kBaudRates.end(), *controller.baud);
        if (it != kBaudRates.end()) {
            line.baudIndex = static_cast<int>(it - kBaudRates.begin());
        }
    }
    if (controller.dataBits) {
        line.bytesize = *controller.dataBits == 7 ? 1 : 0;
    }
    if (controller.evenParity) {
        line.parity = *controller.evenParity ? 1 : 0;
    }
    if (controller.stopBits) {
        line.stopbit = *controller.stopBits == 2 ? 1 : 0;
    }
    LinkSettings settings;
    settings.activePort = 0;
    settings.unit = controller.unit;
    settings.portName = controller.port;
    settings.blocks[0] = line.block(controller.unit);
    return settings;
}

}  // namespace qavix::fleet
