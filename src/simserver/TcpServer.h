#pragma once
// Serves a frame server on a TCP port, raw, as a device server's "tcp" port would: one
// client at a time, the newest taking the line from the one before. Bound to loopback
// unless told otherwise, so the emulator is not offered to the network by accident.

#include <string>

#include "FrameServer.h"
#include "PtyServer.h"
#include "ReplyPacer.h"

namespace qavix::sim::tool {

constexpr const char* kDefaultListenHost = "127.0.0.1";

// "[HOST:]PORT" of --listen: an IPv4 address, a name or a bracketed IPv6 address, and a
// port 0..65535 (0: any free port). False with a message when it is none of these.
bool parseListenAddress(const std::string& text, std::string& host, int& port, std::string& error);

class TcpServer {
  public:
    // rate.baud must be a fixed rate or 0: there is no terminal whose rate could be read.
    TcpServer(link::FrameServer& server, LineRate rate);
    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    bool open(const std::string& host, int port, std::string& error);
    // The port value a client opens: "tcp:127.0.0.1:40123".
    const std::string& target() const { return m_target; }

    // Serves until stopFd (a pipe, or -1 for none) reports end of file or an error.
    void run(int stopFd);

  private:
    void accept();
    void receive();
    void dropClient();

    link::FrameServer& m_server;
    LineRate m_rate;
    int m_listen = -1;
    int m_client = -1;
    std::string m_target;
    ReplyPacer m_pacer;
};

}  // namespace qavix::sim::tool
