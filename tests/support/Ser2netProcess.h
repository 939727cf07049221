#pragma once
// Debian's ser2net for one test: a generated YAML configuration in a temporary folder, one
// accepter on 127.0.0.1 at a free port, its connector the pseudo-terminal of a qavix-sim.
// The server is stopped when the object goes (and killed with the test process should that
// die first), so nothing stays running.

#include <memory>
#include <string>

#include "ChildProcess.h"
#include "TempDir.h"

namespace qavix::test {

struct Ser2netPort {
    bool rfc2217 = false;          // accepter telnet(rfc2217),tcp rather than tcp
    std::string device;            // the pseudo-terminal
    std::string line = "9600e72";  // the connector's line settings
    bool kickOldUser = false;
};

class Ser2netProcess {
  public:
    explicit Ser2netProcess(const Ser2netPort& port);
    ~Ser2netProcess();
    Ser2netProcess(const Ser2netProcess&) = delete;
    Ser2netProcess& operator=(const Ser2netProcess&) = delete;

    // Whether the ser2net program exists here; tests skip without it.
    static bool available();

    bool running() const { return m_process != nullptr && m_port > 0; }
    int port() const { return m_port; }
    // "tcp:127.0.0.1:PORT" or "rfc2217:127.0.0.1:PORT".
    std::string target() const;
    // What ser2net wrote, for a failure message.
    std::string log() const;
    // Whether the server has `device` open (it opens the line for a client it took).
    bool holds(const std::string& device) const;
    // Ends the server at once, as a crash or a power cut would.
    void kill();

  private:
    bool start(int port);
    void stop();

    Ser2netPort m_config;
    TempDir m_dir;
    std::unique_ptr<ChildProcess> m_process;
    int m_port = 0;
};

}  // namespace qavix::test
