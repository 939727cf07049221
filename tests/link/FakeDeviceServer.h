#pragma once
// A scripted device server on loopback for one connection: the test's script runs on a
// thread of its own with the accepted socket, so a client's open can be watched against a
// server that answers, refuses, changes settings or goes silent exactly as told.

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace qavix::link::test {

class FakeDeviceServer {
  public:
    using Script = std::function<void(int fd)>;
    // Runs the script for each of up to `connections` clients, one after the other.
    explicit FakeDeviceServer(Script script, int connections = 1);
    ~FakeDeviceServer();  // waits for the script, which must end by itself
    FakeDeviceServer(const FakeDeviceServer&) = delete;
    FakeDeviceServer& operator=(const FakeDeviceServer&) = delete;

    int port() const { return m_port; }
    // How many clients have connected so far.
    int accepted() const { return m_accepted; }

  private:
    int m_listen = -1;
    int m_port = 0;
    std::atomic<int> m_accepted{0};
    std::thread m_thread;
};

// Script helpers, each bounded by its own time-out.
void sendAll(int fd, const std::string& bytes);
// Reads until `bytes` ends with `suffix` or the time runs out; what was read.
std::string readUntil(int fd, const std::string& suffix,
                      std::chrono::milliseconds timeout = std::chrono::seconds(2));
// Reads whatever comes until the peer closes or the time runs out.
std::string readUntilClosed(int fd, std::chrono::milliseconds timeout = std::chrono::seconds(2));
// A hostile server's part: sends `bytes` again and again, reading nothing, until the peer
// goes away (true) or `limit` has passed with the peer still there (false).
bool floodUntilClosed(int fd, const std::string& bytes, std::chrono::milliseconds limit);

// A loopback port on which nothing listens (bound, then released).
int closedPort();

// A loopback listener that never accepts, its backlog already full: a connect to it gets no
// answer at all, as from a host behind a firewall that drops packets.
class Blackhole {
  public:
    Blackhole();
    ~Blackhole();
    Blackhole(const Blackhole&) = delete;
    Blackhole& operator=(const Blackhole&) = delete;
    int port() const { return m_port; }

  private:
    int m_listen = -1;
    int m_filler = -1;
    int m_port = 0;
};

}  // namespace qavix::link::test
