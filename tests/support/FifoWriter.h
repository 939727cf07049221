#pragma once
// A FIFO for tests of readers that must refuse one. A reader that opened it and waited
// would hang the test for good; so while the test runs, a thread keeps looking for a reader
// and, when one has opened the FIFO, writes a few bytes and closes it. A faulty reader then
// finishes (with the wrong result) instead of hanging, and a sound one never opens it.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace qavix::test {

class FifoWriter {
  public:
    explicit FifoWriter(std::string path) : m_path(std::move(path)) {
        m_made = ::mkfifo(m_path.c_str(), 0600) == 0;
        m_thread = std::thread([this] { serve(); });
    }
    ~FifoWriter() {
        m_stop = true;
        m_thread.join();
        ::unlink(m_path.c_str());
    }
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

    bool made() const { return m_made; }
    const std::string& path() const { return m_path; }
    // Whether a reader ever had the FIFO open.
    bool wasOpened() const { return m_opened; }

  private:
    void serve() {
        while (!m_stop) {
            // Succeeds only while a reader has the FIFO open.
            const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_opened = true;
                const char junk[] = "[CH1]\nTYPE_1=01\n";
                (void)!::write(fd, junk, sizeof junk - 1);
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::string m_path;
    bool m_made = false;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_thread;
};

}  // namespace qavix::test
