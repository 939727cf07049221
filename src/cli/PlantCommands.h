#pragma once
// `qavixctl plant status`: the plant view's table once, from the broker's retained messages.

namespace CLI {
class App;
}

namespace qavix::cli {

void addPlantCommands(CLI::App& app, int& exitCode);

}  // namespace qavix::cli
