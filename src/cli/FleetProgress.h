#pragma once
// What a fleet command shows while it runs: one line per controller as it finishes, and on
// a terminal a progress line (done / total and the controllers in flight) kept at the
// bottom. Quiet runs (cron) print only what went wrong. Called from every worker.

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace qavix::cli {

struct ProgressOptions {
    bool quiet = false;           // only failures, on standard error
    bool controllerLines = true;  // one line per controller on standard output
};

class FleetProgress {
  public:
    FleetProgress(size_t total, ProgressOptions options);

    void started(const std::string& name);
    // `text` is the controller's finished line(s); a failure goes to standard error when
    // quiet, to standard output otherwise.
    void finished(const std::string& name, const std::string& text, bool failure);
    // A note on standard error that does not disturb the progress line.
    void note(const std::string& text);
    // Removes the progress line before the final report.
    void close();

  private:
    void drawLocked();
    void clearLocked();

    const size_t m_total;
    const ProgressOptions m_options;
    const bool m_terminal;  // standard error is a terminal and the run is not quiet
    std::mutex m_mutex;
    size_t m_done = 0;
    std::vector<std::string> m_inFlight;
    bool m_drawn = false;
};

}  // namespace qavix::cli
