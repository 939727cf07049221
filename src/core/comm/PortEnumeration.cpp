#include "comm/PortEnumeration.h"

#include <filesystem>

#include "PortResolver.h"

namespace qavix {

PresentPorts enumeratePorts(const std::string& iniPath) {
    PresentPorts present{};
    for (int n = 1; n <= kPortCount; ++n) {
        const auto target = link::resolvePort("COM" + std::to_string(n), iniPath);
        std::error_code ec;
        // A device server counts as present when its address is well formed: finding out
        // more would mean connecting to it, which only opening the port may do.
        present[static_cast<size_t>(n - 1)] =
            target && (target->emulator || target->network ||
                       (!target->onNetwork() && std::filesystem::exists(target->device, ec)));
    }
    return present;
}

bool anyPortPresent(const PresentPorts& ports) {
    for (bool p : ports) {
        if (p) {
            return true;
        }
    }
    return false;
}

}  // namespace qavix
