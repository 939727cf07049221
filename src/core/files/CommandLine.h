#pragma once
// The start-up switches. The arguments after the program name are joined without
// separators and searched case-sensitively, so "/d" "b" given as two arguments is "/db".

#include <string>
#include <vector>

namespace qavix {

struct CommandLineSwitches {
    bool extended = false;         // "/ad": option pages and per-sensor graph items
    bool debug = false;            // "/db": trace pane and recording of every exchange
    std::string editFile;          // "--edit FILE" or "--edit=FILE": offline editing of a bank file
    bool editWithoutFile = false;  // "--edit" was the last argument
    // "--plant [URL]" or "--plant=URL": the plant window, with the broker URL (an argument
    // holding "://") instead of the environment settings' one.
    bool plant = false;
    std::string plantUrl;
};

// `arguments` without the program name. The file of "--edit" is taken out before the
// switches are searched, so a path such as "/home/x/dbank.qbk" switches nothing on.
CommandLineSwitches parseCommandLineSwitches(const std::vector<std::string>& arguments);

}  // namespace qavix
