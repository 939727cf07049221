#include "LinkSession.h"

#include <utility>

#include "Frame.h"
#include "Message.h"

namespace qavix::link {

LinkSession::LinkSession(std::unique_ptr<Transport> transport)
    : m_transport(std::move(transport)) {}

ExchangeResult LinkSession::exchange(const sim::Command& command,
                                     std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    m_sequence = (m_sequence + 1) % kSequenceSpan;
    const std::string payload = encodeRequest({m_sequence, command});
    const std::string frame = payload.empty() ? std::string() : encodeFrame(payload);
    if (frame.empty()) {
        return {ExchangeStatus::Unsendable, 0, {}};
    }
    m_transport->discardInput();
    m_lastSent = frame;
    m_lastReceived.clear();
    const IoStatus written = m_transport->write(frame, deadline);
    if (written != IoStatus::Ok) {
        return {
            written == IoStatus::TimedOut ? ExchangeStatus::TimedOut : ExchangeStatus::LineError,
            0,
            {}};
    }
    return awaitReply(command, m_sequence, deadline);
}

ExchangeResult LinkSession::awaitReply(const sim::Command& command, int sequence,
                                       Clock::time_point deadline) {
    FrameScanner scanner;
    std::string bytes;
    for (;;) {
        bytes.clear();
        const IoStatus status = m_transport->read(bytes, deadline);
        if (status == IoStatus::TimedOut) {
            return {ExchangeStatus::TimedOut, 0, {}};
        }
        if (status == IoStatus::Failed) {
            return {ExchangeStatus::LineError, 0, {}};
        }
        for (char byte : bytes) {
            auto frame = scanner.push(byte);
            if (!frame) {
                continue;
            }
            m_lastReceived = frame->raw;
            if (!frame->checkOk) {
                return {ExchangeStatus::BadCheck, 0, {}};
            }
            auto reply = decodeReply(frame->payload);
            // A late answer to an earlier request, or noise that happens to look like a
            // frame: keep waiting for ours.
            if (!reply || reply->sequence != sequence || reply->op != command.op ||
                reply->unit != command.unit) {
                continue;
            }
            if (reply->error != sim::kOk) {
                return {ExchangeStatus::Refused, reply->error, {}};
            }
            if (reply->text.size() > kMaxReplyText) {
                return {ExchangeStatus::TooLong, 0, {}};
            }
            return {ExchangeStatus::Ok, 0, std::move(reply->text)};
        }
        // A read that finds bytes waiting returns at once, so on a line that never falls
        // silent only this check ends the wait.
        if (passed(deadline)) {
            return {ExchangeStatus::TimedOut, 0, {}};
        }
    }
}

}  // namespace qavix::link
