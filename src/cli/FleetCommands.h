#pragma once
// qavixctl fleet backup | check | restore: many controllers at once, named by a plant file.

namespace CLI {
class App;
}

namespace qavix::cli {

struct DeviceOptions;

void addFleetCommands(CLI::App& app, const DeviceOptions& options, int& exitCode);

}  // namespace qavix::cli
