#include "files/CommandLine.h"

namespace qavix {

namespace {
constexpr const char* kEditOption = "--edit";
constexpr const char* kEditOptionWithValue = "--edit=";
constexpr const char* kPlantOption = "--plant";
constexpr const char* kPlantOptionWithValue = "--plant=";
}  // namespace

CommandLineSwitches parseCommandLineSwitches(const std::vector<std::string>& arguments) {
    CommandLineSwitches switches;
    std::string joined;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == kEditOption) {
            if (i + 1 < arguments.size()) {
                switches.editFile = arguments[++i];
            } else {
                switches.editWithoutFile = true;
            }
            continue;
        }
        if (argument.rfind(kEditOptionWithValue, 0) == 0) {
            switches.editFile = argument.substr(std::string(kEditOptionWithValue).size());
            switches.editWithoutFile = switches.editFile.empty();
            continue;
        }
        if (argument == kPlantOption) {
            switches.plant = true;
            if (i + 1 < arguments.size() && arguments[i + 1].find("://") != std::string::npos) {
                switches.plantUrl = arguments[++i];
            }
            continue;
        }
        if (argument.rfind(kPlantOptionWithValue, 0) == 0) {
            switches.plant = true;
            switches.plantUrl = argument.substr(std::string(kPlantOptionWithValue).size());
            continue;
        }
        joined += argument;
    }
    switches.extended = joined.find("/ad") != std::string::npos;
    switches.debug = joined.find("/db") != std::string::npos;
    return switches;
}

}  // namespace qavix
