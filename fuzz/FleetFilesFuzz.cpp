// The texts a fleet command reads from disk: the plant file and a backup's manifest (JSON).
// Any input is either refused with a reason or read; a plant without problems has
// controllers, every controller kept (also beside the problems of other sections, which the
// reader reports together) is a usable one, and a manifest that reads writes back to one
// that reads the same.

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/Json.h"
#include "fleet/BackupManifest.h"
#include "fleet/PlantFile.h"

using namespace qavix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const fleet::Plant plant = fleet::parsePlant(text, "/plants");
    if (plant.ok() && plant.controllers.empty()) {
        __builtin_trap();
    }
    for (const fleet::PlantController& c : plant.controllers) {
        if (!fleet::nameProblem(c.name).empty() || !fleet::portProblem(c.port).empty() ||
            c.unit < 0 || c.unit > fleet::kMaxUnit) {
            __builtin_trap();
        }
    }
    (void)fleet::describeProblems(plant, "plant.ini");

    std::string error;
    if (const auto value = json::parse(text, error)) {
        const auto again = json::parse(json::write(*value), error);
        if (!again || json::write(*again) != json::write(*value)) {
            __builtin_trap();
        }
    }
    if (const auto manifest = fleet::parseManifest(text, error)) {
        const auto again = fleet::parseManifest(fleet::manifestJson(*manifest), error);
        if (!again || fleet::manifestJson(*again) != fleet::manifestJson(*manifest)) {
            __builtin_trap();
        }
    }
    return 0;
}
