#include "SimTransport.h"

#include <thread>
#include <utility>

namespace qavix::link {

SimTransport::SimTransport(FrameServer::Handler handler, LineFaults faults, LineModel line,
                           std::unique_ptr<std::ofstream> log)
    : m_log(std::move(log)), m_server(std::move(handler), faults, m_log.get()), m_line(line) {}

IoStatus SimTransport::write(std::string_view bytes, Clock::time_point /*deadline*/) {
    const auto now = Clock::now();
    for (ServedReply& reply : m_server.feed(bytes)) {
        auto readyAt = now;
        if (m_line.enabled) {
            readyAt += lineTime(reply.requestChars + reply.frame.size(), m_line.bitsPerCharacter,
                                m_line.baud);
        }
        m_pending.push_back({readyAt, std::move(reply.frame)});
    }
    return IoStatus::Ok;
}

bool SimTransport::takeReady(std::string& out, Clock::time_point now) {
    bool took = false;
    while (!m_pending.empty() && m_pending.front().readyAt <= now) {
        out += m_pending.front().bytes;
        m_pending.pop_front();
        took = true;
    }
    return took;
}

IoStatus SimTransport::read(std::string& out, Clock::time_point deadline) {
    if (takeReady(out, Clock::now())) {
        return IoStatus::Ok;
    }
    if (!m_pending.empty() && m_pending.front().readyAt <= deadline) {
        std::this_thread::sleep_until(m_pending.front().readyAt);
        takeReady(out, m_pending.front().readyAt);
        return IoStatus::Ok;
    }
    if (!(m_line.instantTimeout && m_pending.empty())) {
        std::this_thread::sleep_until(deadline);
    }
    return IoStatus::TimedOut;
}

void SimTransport::discardInput() {
    std::string arrived;
    takeReady(arrived, Clock::now());
}

}  // namespace qavix::link
