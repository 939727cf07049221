#pragma once
// Serves a frame server on the master side of a pseudo-terminal. The slave side is what a
// client opens as its serial device; this server keeps a descriptor of it open itself, so
// a client can close and reopen the device without the master seeing a hang-up.

#include <ostream>
#include <string>

#include "FrameServer.h"
#include "ReplyPacer.h"

namespace qavix::sim::tool {

struct LineRate {
    int baud = 0;  // 0 no delay; sim::kLineRateFromTerminal: the rate the client set
    int bitsPerCharacter = 11;
};

class PtyServer {
  public:
    // With the terminal's rate as the line model and a log, each change of that rate is
    // logged ("line-rate 115200"), so a test can see what a client set.
    PtyServer(link::FrameServer& server, LineRate rate, std::ostream* log = nullptr);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // False with a message when no pseudo-terminal could be set up.
    bool open(std::string& error);
    const std::string& slavePath() const { return m_slavePath; }

    // Serves until stopFd (a pipe, or -1 for none) reports end of file or an error.
    void run(int stopFd);

  private:
    void receive();
    void sendDue();
    int baud();

    link::FrameServer& m_server;
    LineRate m_rate;
    std::ostream* m_log;
    int m_loggedBaud = 0;
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    ReplyPacer m_pacer;
};

}  // namespace qavix::sim::tool
