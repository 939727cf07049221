#pragma once
// "rfc2217:HOST:PORT": a serial device server spoken to in Telnet with the COM-PORT-OPTION.
// Opening sets the remote line from the port's settings and checks the server's answers, so
// a line the server could not set fails the open with the setting named instead of running
// at a rate nobody chose. Options the server leaves unanswered beyond the four line settings
// (modem and flow control on a line set "local") are not waited for.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "NetworkAddress.h"
#include "PortSettings.h"
#include "SocketStream.h"
#include "TelnetCodec.h"
#include "Transport.h"

namespace qavix::link {

class Rfc2217Transport : public Transport {
  public:
    // Null on failure, with the reason and its detail. `timeout` bounds the whole open:
    // name lookup, connect and the negotiation of the line settings.
    static std::unique_ptr<Rfc2217Transport> open(const NetworkAddress& address,
                                                  const std::string& target,
                                                  const PortSettings& settings,
                                                  std::chrono::milliseconds timeout,
                                                  PortProblemKind& failure, std::string& detail);

    IoStatus write(std::string_view bytes, Clock::time_point deadline) override;
    IoStatus read(std::string& out, Clock::time_point deadline) override;
    void discardInput() override;
    std::optional<PortProblem> lineProblem() const override {
        return m_words.explain(m_stream.problem());
    }

  private:
    Rfc2217Transport(int fd, const std::string& target) : m_stream(fd, target) {}
    bool negotiate(const PortSettings& settings, Clock::time_point deadline,
                   PortProblemKind& failure, std::string& detail);
    // Decodes received bytes: data kept for read, negotiations answered, COM-PORT-OPTION
    // answers recorded.
    IoStatus take(std::string_view raw, Clock::time_point deadline);
    // Decodes received bytes into the data kept for read; their Telnet commands as events.
    void decode(std::string_view raw, std::vector<telnet::Event>& events);
    // Sends, and when the server has gone, still hears what it said before it went.
    IoStatus send(std::string_view bytes, Clock::time_point deadline);

    SocketStream m_stream;
    LastWords m_words;
    telnet::Decoder m_decoder;
    telnet::Options m_options;
    std::string m_data;
    std::map<unsigned char, std::uint32_t> m_answers;  // command -> value the server set
};

}  // namespace qavix::link
