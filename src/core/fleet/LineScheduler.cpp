#include "fleet/LineScheduler.h"

#include <algorithm>

namespace qavix::fleet {

LineScheduler::LineScheduler(std::vector<std::vector<size_t>> lines, int jobs)
    : m_lines(std::move(lines)),
      m_jobs(std::clamp(jobs, 1, std::max(1, static_cast<int>(m_lines.size())))) {
    size_t controllers = 0;
    for (const auto& line : m_lines) {
        for (size_t c : line) {
            controllers = std::max(controllers, c + 1);
        }
    }
    m_started.assign(controllers, false);
}

LineScheduler::~LineScheduler() {
    requestStop();
    for (std::thread& t : m_threads) {
        if (t.joinable()) {
            t.join();
        }
    }
}

void LineScheduler::start(Work work) {
    m_work = std::move(work);
    const int count = workers();
    {
        std::lock_guard lock(m_mutex);
        m_running = count;
    }
    for (int i = 0; i < count; ++i) {
        m_threads.emplace_back([this] { run(); });
    }
}

bool LineScheduler::waitFinished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_finished.wait_for(lock, timeout, [this] { return m_running == 0; });
}

void LineScheduler::requestStop() {
    std::lock_guard lock(m_mutex);
    m_stop = true;
}

bool LineScheduler::stopRequested() const {
    std::lock_guard lock(m_mutex);
    return m_stop;
}

std::vector<size_t> LineScheduler::notStarted() const {
    std::lock_guard lock(m_mutex);
    std::vector<size_t> list;
    for (const auto& line : m_lines) {
        for (size_t c : line) {
            if (!m_started[c]) {
                list.push_back(c);
            }
        }
    }
    std::sort(list.begin(), list.end());
    return list;
}

bool LineScheduler::next(size_t& line, size_t& position, size_t& controller) {
    std::lock_guard lock(m_mutex);
    if (m_stop) {
        return false;
    }
    if (line < m_lines.size() && position + 1 < m_lines[line].size()) {
        ++position;
    } else {
        do {
            if (m_nextLine >= m_lines.size()) {
                return false;
            }
            line = m_nextLine++;
        } while (m_lines[line].empty());
        position = 0;
    }
    controller = m_lines[line][position];
    m_started[controller] = true;
    return true;
}

void LineScheduler::run() {
    size_t line = m_lines.size();
    size_t position = 0;
    size_t controller = 0;
    while (next(line, position, controller)) {
        m_work(controller);
    }
    std::lock_guard lock(m_mutex);
    if (--m_running == 0) {
        m_finished.notify_all();
    }
}

}  // namespace qavix::fleet
