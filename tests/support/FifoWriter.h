#pragma once
// A FIFO for tests of readers that must refuse one without waiting for a writer. A reader
// that opened it and waited would hang the test for good, so the FIFO lets such a reader go
// (opens it for writing, writes a few bytes, closes it): in the test's own process after a
// bounded wait (readAlone), for a reader in another process at once (rescueReaders). A sound
// reader refuses the FIFO, with no bytes, without any of this.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <thread>

namespace qavix::test {

class FifoWriter {
  public:
    explicit FifoWriter(std::string path) : m_path(std::move(path)) {
        m_made = ::mkfifo(m_path.c_str(), 0600) == 0;
    }
    ~FifoWriter() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        ::unlink(m_path.c_str());
    }
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

    bool made() const { return m_made; }
    const std::string& path() const { return m_path; }

    // Runs `read` on a thread of its own. Its result when it came back by itself within
    // `limit` (a sound reader takes microseconds); nothing when it was still waiting for a
    // writer, which it is then given so that the test goes on.
    template <typename Read>
    auto readAlone(Read read, std::chrono::milliseconds limit = std::chrono::seconds(10))
        -> std::optional<decltype(read())> {
        auto result = std::async(std::launch::async, read);
        if (result.wait_for(limit) == std::future_status::ready) {
            return result.get();
        }
        while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            letReaderGo();
        }
        result.get();
        return std::nullopt;
    }

    // For readers in another process, whose wait the test cannot bound: from now on every
    // reader is let go at once, so a faulty one ends with a wrong result instead of hanging.
    void rescueReaders() {
        m_thread = std::thread([this] {
            while (!m_stop) {
                letReaderGo();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }

  private:
    // Succeeds only while a reader has the FIFO open (or waits in its open).
    void letReaderGo() const {
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            const char junk[] = "[CH1]\nTYPE_1=01\n";
            (void)!::write(fd, junk, sizeof junk - 1);
            ::close(fd);
        }
    }

    std::string m_path;
    bool m_made = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace qavix::test
