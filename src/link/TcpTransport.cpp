#include "TcpTransport.h"

#include "TcpConnect.h"

namespace qavix::link {

std::unique_ptr<TcpTransport> TcpTransport::open(const NetworkAddress& address,
                                                 const std::string& target,
                                                 std::chrono::milliseconds connectTimeout,
                                                 PortProblemKind& failure, std::string& detail) {
    const int fd = connectTcp(address, Clock::now() + connectTimeout, failure, detail);
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<TcpTransport>(new TcpTransport(fd, target));
}

IoStatus TcpTransport::write(std::string_view bytes, Clock::time_point deadline) {
    const IoStatus status = m_stream.send(bytes, deadline);
    if (status == IoStatus::Failed) {
        std::string rest;
        m_stream.leftBehind(rest, kMaxDiscardBytes);
        m_words.note(rest);
    }
    return status;
}

IoStatus TcpTransport::read(std::string& out, Clock::time_point deadline) {
    const std::size_t before = out.size();
    const IoStatus status = m_stream.receive(out, deadline);
    m_words.note(std::string_view(out).substr(before));
    return status;
}

void TcpTransport::discardInput() {
    std::string dropped;
    m_stream.drain(dropped, kMaxDiscardBytes);
    m_words.note(dropped);
}

}  // namespace qavix::link
