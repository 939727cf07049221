// The emulator's scenario reader: any text parses or is refused with a reason, and a
// parsed scenario applies to a controller's memory without failing.

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/Command.h"
#include "sim/FactorySettings.h"
#include "sim/Scenario.h"

using namespace qavix::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Scenario scenario;
    std::string error;
    if (!Scenario::parse(text, scenario, error)) {
        if (error.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    // The parser checked every edit against the layout, so none may fail here.
    SetMemory current = factorySettings({40, 32, 16});
    std::array<SetMemory, kBankCount> banks = factoryBanks(current);
    for (const ScenarioEdit& edit : scenario.current) {
        if (applyEdit(current, edit) != kOk) {
            __builtin_trap();
        }
    }
    for (size_t b = 0; b < banks.size(); ++b) {
        for (const ScenarioEdit& edit : scenario.banks[b].edits) {
            if (applyEdit(banks[b], edit) != kOk) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
