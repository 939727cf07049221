#pragma once
// `fleet history` and `fleet diff`: the backup repository of `fleet backup --git` read back,
// field by field.

#include <CLI/CLI.hpp>

namespace qavix::cli {

void addFleetHistoryCommands(CLI::App& fleet, int& exitCode);

}  // namespace qavix::cli
