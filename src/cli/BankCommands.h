#pragma once
// qavixctl bank check | show | diff: offline work on bank files.

namespace CLI {
class App;
}

namespace qavix::cli {

// Adds the "bank" command and its subcommands; the chosen one stores its exit code.
// Returns the "bank" command, for subcommands that live in files of their own.
CLI::App* addBankCommands(CLI::App& app, int& exitCode);

}  // namespace qavix::cli
