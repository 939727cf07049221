#pragma once
// qavixctl journal: the change journal listed (every write to a controller, who made it,
// what it changed and how it ended), and `journal verify`, which walks its chain.

namespace CLI {
class App;
}

namespace qavix::cli {

struct DeviceOptions;

void addJournalCommands(CLI::App& app, const DeviceOptions& options, int& exitCode);

}  // namespace qavix::cli
