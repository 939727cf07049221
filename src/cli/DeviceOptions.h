#pragma once
// The options every device command shares. They are accepted anywhere on the command line.

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace qavix::cli {

struct DeviceOptions {
    std::optional<int> port;  // 0..5 for COM1..COM6; Qavix.ini decides when not given
    // A device server given with --port ("rfc2217:plc-line3:4001"), checked whole; it
    // stands in for the active port, whose line settings it is opened with.
    std::string networkTarget;
    std::optional<int> unit;  // 号機
    bool yes = false;         // answer every OK/Cancel question with OK
    // The change journal's folder (--journal); empty: [Journal] Folder of Qavix.ini, else
    // the default of the user's state folder.
    std::string journalFolder;
    std::string reason;  // --reason: recorded with every write of the command
};

// Adds --port, --unit, --yes, --journal and --reason to the top-level command; subcommands created
// afterwards hand these options up to it wherever they stand.
void addDeviceOptions(CLI::App& app, DeviceOptions& options);

}  // namespace qavix::cli
