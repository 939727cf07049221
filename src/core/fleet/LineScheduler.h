#pragma once
// Runs a piece of work for every controller: lines side by side on up to `jobs` workers,
// the controllers of one line one after the other on the same worker. The caller's thread
// stays free to watch for Ctrl+C and to show progress.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qavix::fleet {

class LineScheduler {
  public:
    using Work = std::function<void(size_t controller)>;

    // `lines` as groupByLine makes them; `jobs` is capped to the number of lines.
    LineScheduler(std::vector<std::vector<size_t>> lines, int jobs);
    // Stops starting work and waits for the work in progress.
    ~LineScheduler();
    LineScheduler(const LineScheduler&) = delete;
    LineScheduler& operator=(const LineScheduler&) = delete;

    void start(Work work);
    // True once every worker is done: all work ran, or a stop let the work in progress end.
    bool waitFinished(std::chrono::milliseconds timeout);
    // No controller starts after this; work already running is left to finish.
    void requestStop();
    bool stopRequested() const;

    // How many workers start() runs: one per line, at most `jobs`.
    int workers() const { return std::min(m_jobs, static_cast<int>(m_lines.size())); }
    // Controllers whose work never started, in plant order.
    std::vector<size_t> notStarted() const;

  private:
    void run();
    // The next controller for a worker on `line` (or a new line), false when there is none.
    bool next(size_t& line, size_t& position, size_t& controller);

    std::vector<std::vector<size_t>> m_lines;
    int m_jobs;
    Work m_work;
    std::vector<std::thread> m_threads;

    mutable std::mutex m_mutex;
    std::condition_variable m_finished;
    size_t m_nextLine = 0;
    int m_running = 0;
    bool m_stop = false;
    std::vector<bool> m_started;  // by controller index
};

}  // namespace qavix::fleet
