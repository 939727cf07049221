#include "sim/UnitBus.h"

#include <algorithm>

namespace qavix::sim {

std::unique_ptr<UnitBus> UnitBus::create(const Options& options, std::string& error) {
    std::vector<int> units = {options.unit};
    units.insert(units.end(), options.moreUnits.begin(), options.moreUnits.end());
    auto bus = std::make_unique<UnitBus>();
    for (size_t i = 0; i < units.size(); ++i) {
        if (std::find(units.begin(), units.begin() + static_cast<long>(i), units[i]) !=
            units.begin() + static_cast<long>(i)) {
            error = "unit " + std::to_string(units[i]) + " is given twice";
            return nullptr;
        }
        Options own = options;
        own.unit = units[i];
        own.moreUnits.clear();
        auto controller = Controller::create(own, error);
        if (!controller) {
            return nullptr;
        }
        bus->m_controllers.push_back(std::move(controller));
    }
    return bus;
}

Response UnitBus::execute(const Command& command) {
    for (const auto& controller : m_controllers) {
        if (controller->unit() == command.unit) {
            return controller->execute(command);
        }
    }
    Response silent;
    silent.error = kBadUnit;
    return silent;
}

}  // namespace qavix::sim
