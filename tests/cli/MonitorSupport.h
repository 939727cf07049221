#pragma once
// What the monitor's tests run beside it, each stopped when it goes out of scope, whatever
// way the test ends: Debian's mosquitto on a free loopback port from a generated
// configuration, mosquitto_sub collecting what the broker passes on, and qavixctl monitor
// itself as a process that can be stopped, killed or looked at.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qavix::cli::test {

// A child process with standard output and error in files.
class Child {
  public:
    Child(const std::vector<std::string>& argv, const std::string& outFile,
          const std::string& errFile,
          const std::vector<std::pair<std::string, std::string>>& env = {},
          const std::string& workDir = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return m_pid > 0; }
    bool running();
    void signal(int sig);
    // The exit code once it ended within `wait`; -1 when killed by a signal, -2 when it is
    // still running (it is then killed).
    int waitExit(std::chrono::milliseconds wait);
    pid_t pid() const { return m_pid; }

  private:
    pid_t m_pid = -1;
    int m_status = 0;
    bool m_reaped = false;
};

int freeTcpPort();

struct BrokerTls {
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    std::string passwordFile;  // mosquitto's password file
};

// What the broker will not take: an ACL (mosquitto's acl_file text) and a largest payload.
struct BrokerRules {
    std::string acl;
    int messageSizeLimit = 0;
};

class Broker {
  public:
    // `persistentDir`: keeps sessions over a restart (the outage test's subscriber).
    explicit Broker(const std::string& dir, const BrokerTls& tls = {},
                    const std::string& persistentDir = {}, const BrokerRules& rules = {});
    ~Broker();
    bool start();
    void stop();
    int port() const { return m_port; }

  private:
    std::string m_dir;
    int m_port;
    std::unique_ptr<Child> m_process;
    int m_starts = 0;
};

// mosquitto_sub on qavix/# printing "topic payload" lines into a file.
class Subscriber {
  public:
    Subscriber(const std::string& dir, int port, const std::vector<std::string>& extra = {});
    std::vector<std::string> lines() const;
    // The payloads of messages on `topic`, in arrival order.
    std::vector<std::string> payloads(const std::string& topic) const;
    // Waits until `done` holds for the collected lines, at most `wait`.
    bool waitFor(const std::function<bool(const Subscriber&)>& done,
                 std::chrono::milliseconds wait) const;

  private:
    std::string m_file;
    std::unique_ptr<Child> m_process;
};

// The retained messages of `topicFilter` now, "topic payload" each.
std::vector<std::string> retained(int port, const std::string& topicFilter,
                                  const std::vector<std::string>& extra = {});

// The text of a string field ("line") or the array of a number field ("level") of a JSON
// payload the monitor made, as written; empty when absent.
std::string jsonField(const std::string& json, const std::string& key);
std::vector<int> jsonIntArray(const std::string& json, const std::string& key);

}  // namespace qavix::cli::test
