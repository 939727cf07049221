#pragma once
// The commands that talk to the controller: info, bank export, bank import, errors, clock.

namespace CLI {
class App;
}

namespace qavix::cli {

struct DeviceOptions;

// Adds info, errors and clock to `app` and export and import to its "bank" command, which
// must exist already; the chosen command stores its exit code.
void addDeviceCommands(CLI::App& app, const DeviceOptions& options, int& exitCode);

}  // namespace qavix::cli
