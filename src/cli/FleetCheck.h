#pragma once
// qavixctl fleet check PLANT: every controller with a golden file compared field by field
// with its current values.

#include <string>

namespace qavix::cli {

struct FleetCheckArgs {
    std::string plant;
    int jobs = 0;
    bool quiet = false;
    bool json = false;  // one JSON document on standard output instead of lines
};

// kExitOk when every controller is the same as its golden file, kExitFailed when any
// differs, kExitConnection when any could not be read (before differences), kExitFileError
// when the plant or a golden file cannot be used.
int runFleetCheck(const FleetCheckArgs& args);

}  // namespace qavix::cli
