#pragma once
// "tcp:HOST:PORT": the raw byte stream of a serial device server whose line (rate, data
// bits, parity, stop bits) is set on the server itself.

#include <memory>
#include <string>

#include "NetworkAddress.h"
#include "SocketStream.h"
#include "Transport.h"

namespace qavix::link {

class TcpTransport : public Transport {
  public:
    // Null on failure, with the reason and its detail. `target` is the port value;
    // `connectTimeout` bounds the whole open, name lookup included.
    static std::unique_ptr<TcpTransport> open(const NetworkAddress& address,
                                              const std::string& target,
                                              std::chrono::milliseconds connectTimeout,
                                              PortProblemKind& failure, std::string& detail);

    IoStatus write(std::string_view bytes, Clock::time_point deadline) override;
    IoStatus read(std::string& out, Clock::time_point deadline) override;
    void discardInput() override;
    std::optional<PortProblem> lineProblem() const override {
        return m_words.explain(m_stream.problem());
    }

  private:
    TcpTransport(int fd, const std::string& target) : m_stream(fd, target) {}

    SocketStream m_stream;
    LastWords m_words;
};

}  // namespace qavix::link
