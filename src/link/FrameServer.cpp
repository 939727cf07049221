#include "FrameServer.h"

#include <utility>

#include "Message.h"

namespace qavix::link {

FrameServer::FrameServer(Handler handler, LineFaults faults, std::ostream* log)
    : m_handler(std::move(handler)), m_faults(faults), m_log(log) {}

std::vector<ServedReply> FrameServer::feed(std::string_view bytes) {
    std::vector<ServedReply> replies;
    for (char byte : bytes) {
        auto frame = m_scanner.push(byte);
        if (!frame) {
            continue;
        }
        // A request with a bad check character is not trusted to say whom to answer.
        if (!frame->checkOk) {
            continue;
        }
        std::string reply = serve(*frame);
        if (!reply.empty()) {
            replies.push_back({std::move(reply), frame->raw.size()});
        }
    }
    return replies;
}

std::string FrameServer::serve(const ReceivedFrame& frame) {
    const auto header = decodeHeader(frame.payload);
    if (!header) {
        return {};
    }
    ++m_requests;
    if (m_faults.hangAfter >= 0 && m_requests > m_faults.hangAfter) {
        return {};
    }
    Reply reply;
    reply.unit = header->unit;
    reply.sequence = header->sequence;
    reply.op = header->op;
    const auto request = decodeRequest(frame.payload);
    if (!request) {
        reply.error = sim::kBadData;
    } else {
        logRequest(request->command, frame.payload);
        const sim::Response response = m_handler(request->command);
        if (response.error == sim::kBadUnit) {
            return {};  // another controller's request: stay silent as on a shared line
        }
        reply.error = response.error;
        reply.text = response.text;
    }
    std::string encoded = encodeFrame(encodeReply(reply));
    return applyFaults(std::move(encoded));
}

std::string FrameServer::applyFaults(std::string frame) {
    if (frame.empty()) {
        return frame;
    }
    ++m_replies;
    if (m_faults.dropEvery > 0 && m_replies % m_faults.dropEvery == 0) {
        return {};
    }
    if (m_faults.corruptEvery > 0 && m_replies % m_faults.corruptEvery == 0) {
        char& check = frame.back();
        // Stay inside the printable check range so only the check itself is wrong.
        check = check == '0' ? '1' : static_cast<char>(check - 1);
    }
    return frame;
}

void FrameServer::logRequest(const sim::Command& command, std::string_view payload) {
    if (m_log == nullptr) {
        return;
    }
    if (m_faults.logTimes) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        *m_log << std::chrono::duration_cast<std::chrono::milliseconds>(now).count() << ' ';
    }
    *m_log << command.id << ' ' << command.start << ' ' << command.count << ' ' << payload
           << std::endl;
}

std::chrono::microseconds lineTime(std::size_t chars, int bitsPerChar, int baud) {
    if (baud <= 0 || bitsPerChar <= 0) {
        return std::chrono::microseconds(0);
    }
    const auto bits = static_cast<long long>(chars) * bitsPerChar;
    return std::chrono::microseconds(bits * 1000000LL / baud);
}

}  // namespace qavix::link
