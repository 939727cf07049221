#pragma once
// The two start-up switches. The arguments after the program name are joined without
// separators and searched case-sensitively, so "/d" "b" given as two arguments is "/db".

#include <string>
#include <vector>

namespace qavix {

struct CommandLineSwitches {
    bool extended = false;  // "/ad": option pages and per-sensor graph items
    bool debug = false;     // "/db": trace pane and recording of every exchange
};

// `arguments` without the program name.
CommandLineSwitches parseCommandLineSwitches(const std::vector<std::string>& arguments);

}  // namespace qavix
