#pragma once
// qavixctl bank report: the settings report of a bank file, as text or as a Shift-JIS file.

namespace CLI {
class App;
}

namespace qavix::cli {

// Adds "report" under the "bank" command; when chosen it stores its exit code.
void addReportCommand(CLI::App& bank, int& exitCode);

}  // namespace qavix::cli
