#include "files/CommandLine.h"

namespace qavix {

CommandLineSwitches parseCommandLineSwitches(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const std::string& argument : arguments) {
        joined += argument;
    }
    CommandLineSwitches switches;
    switches.extended = joined.find("/ad") != std::string::npos;
    switches.debug = joined.find("/db") != std::string::npos;
    return switches;
}

}  // namespace qavix
