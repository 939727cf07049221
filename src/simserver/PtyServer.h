#pragma once
// Serves a frame server on the master side of a pseudo-terminal. The slave side is what a
// client opens as its serial device; this server keeps a descriptor of it open itself, so
// a client can close and reopen the device without the master seeing a hang-up.

#include <time.h>

#include <chrono>
#include <deque>
#include <string>

#include "FrameServer.h"

namespace qavix::sim::tool {

struct LineRate {
    int baud = 0;  // 0 no delay; sim::kLineRateFromTerminal: the rate the client set
    int bitsPerCharacter = 11;
};

class PtyServer {
  public:
    PtyServer(link::FrameServer& server, LineRate rate);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // False with a message when no pseudo-terminal could be set up.
    bool open(std::string& error);
    const std::string& slavePath() const { return m_slavePath; }

    // Serves until stopFd (a pipe, or -1 for none) reports end of file or an error.
    void run(int stopFd);

  private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        Clock::time_point readyAt;
        std::string bytes;
    };

    void receive();
    void sendDue();
    int baud() const;
    // The time until the next reply is due; false when none is waiting.
    bool nextWait(timespec& wait) const;

    link::FrameServer& m_server;
    LineRate m_rate;
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::deque<Pending> m_pending;
};

}  // namespace qavix::sim::tool
