#pragma once
// What the tests of the monitor and the plant view run beside them, each stopped when it goes
// out of scope, whatever way the test ends: Debian's mosquitto on a free loopback port from a
// generated configuration and mosquitto_sub collecting what the broker passes on.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"

namespace qavix::test {

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
    std::unique_ptr<ChildProcess> m_process;
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
    std::unique_ptr<ChildProcess> m_process;
};

// The retained messages of `topicFilter` now, "topic payload" each.
std::vector<std::string> retained(int port, const std::string& topicFilter,
                                  const std::vector<std::string>& extra = {});

// The text of a string field ("line") or the array of a number field ("level") of a JSON
// payload the monitor made, as written; empty when absent.
std::string jsonField(const std::string& json, const std::string& key);
std::vector<int> jsonIntArray(const std::string& json, const std::string& key);

}  // namespace qavix::test
