#pragma once
// The built-in emulator port: bytes go through the same frame server as on qavix-sim's
// pseudo-terminal, in memory. With a line model the replies become readable only when a
// real line of that speed would have carried request and reply.

#include <deque>
#include <fstream>
#include <memory>

#include "FrameServer.h"
#include "Transport.h"

namespace qavix::link {

struct LineModel {
    bool enabled = false;
    int baud = 9600;
    int bitsPerCharacter = 11;
    // Nothing pending is nothing coming: the emulator answers as it is fed, so a silent
    // line may be reported at once rather than after the caller's time-out.
    bool instantTimeout = false;
};

class SimTransport : public Transport {
  public:
    SimTransport(FrameServer::Handler handler, LineFaults faults, LineModel line,
                 std::unique_ptr<std::ofstream> log = nullptr);

    IoStatus write(std::string_view bytes, Clock::time_point deadline) override;
    IoStatus read(std::string& out, Clock::time_point deadline) override;
    void discardInput() override;

  private:
    struct Pending {
        Clock::time_point readyAt;
        std::string bytes;
    };
    bool takeReady(std::string& out, Clock::time_point now);

    std::unique_ptr<std::ofstream> m_log;  // before the server, which writes to it
    FrameServer m_server;
    LineModel m_line;
    std::deque<Pending> m_pending;
};

}  // namespace qavix::link
