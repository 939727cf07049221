#pragma once
// The state of one connection behind the C interface: one port at a time, the last
// failure, the retry count (LinkConnections holds them). Every entry takes the lock, so a
// second thread on the same connection (the port test of the settings dialog) waits for
// the worker's call instead of mixing frames with it.

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "LinkFailure.h"
#include "LinkSession.h"
#include "PortSettings.h"
#include "sim/Command.h"

namespace qavix::link {

class LinkLibrary {
  public:
    // What a thread whose connection was ended talks to: never initialised, so NOINIT.
    struct Ended {};

    LinkLibrary() = default;
    explicit LinkLibrary(Ended) : m_ended(true) {}

    bool initialize();
    void terminate();
    bool open(const char* port, const int* block);
    void close();
    bool reopen();
    bool setRetryCount(int count);

    // unitFromOpen: the request is addressed to the unit of the port settings block;
    // otherwise command.unit is the caller's. reply may be null when none is expected.
    bool request(sim::Command command, int timeoutMs, char* reply, bool unitFromOpen);

    // Records a caller's mistake found before any request was made (a missing buffer).
    bool rejectArgument(const std::string& message);

    bool lastError(char* code, char* message);
    bool commData(char* sent, char* received);

  private:
    bool openLocked(const std::string& port, const PortSettings& settings);
    bool fail(std::string code, std::string message);
    bool succeed();
    bool failExchange(const ExchangeResult& result, int timeoutMs);

    std::mutex m_mutex;
    const bool m_ended = false;
    bool m_initialised = false;
    std::unique_ptr<LinkSession> m_session;
    std::string m_portName;
    std::optional<PortSettings> m_settings;  // of the last successful open
    int m_retries = 0;
    std::optional<LinkFailure> m_failure;
    std::string m_lastSent;
    std::string m_lastReceived;
};

}  // namespace qavix::link
