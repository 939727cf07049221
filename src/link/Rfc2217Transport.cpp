#include "Rfc2217Transport.h"

#include <vector>

#include "TcpConnect.h"
#include "Translate.h"

namespace qavix::link {

namespace {

using namespace telnet;

struct LineSetting {
    unsigned char command;
    std::uint32_t value;
    PortProblemKind refused;
};

std::string valueText(unsigned char command, std::uint32_t value) {
    switch (command) {
        case kSetBaudRate:
            return std::to_string(value) + " bps";
        case kSetDataSize:
            return i18n::fill(QX_("%1 ビット"), {std::to_string(value)});
        case kSetParity: {
            static const char* const kNames[] = {"?",        N_("無し"),   N_("奇数"),
                                                 N_("偶数"), N_("マーク"), N_("スペース")};
            return value < 6 ? i18n::translate(kNames[value]) : std::to_string(value);
        }
        case kSetStopSize: {
            static const char* const kNames[] = {"?", "1", "2", "1.5"};
            return value < 4 ? kNames[value] : std::to_string(value);
        }
        default:
            return std::to_string(value);
    }
}

std::vector<LineSetting> lineSettings(const PortSettings& settings) {
    const unsigned char parity = settings.parity == Parity::None  ? kParityNone
                                 : settings.parity == Parity::Odd ? kParityOdd
                                                                  : kParityEven;
    return {
        {kSetBaudRate, static_cast<std::uint32_t>(settings.baud), PortProblemKind::RateRefused},
        {kSetDataSize, static_cast<std::uint32_t>(settings.dataBits),
         PortProblemKind::DataSizeRefused},
        {kSetParity, parity, PortProblemKind::ParityRefused},
        {kSetStopSize, settings.stopBits == 2 ? kStopTwo : kStopOne,
         PortProblemKind::StopSizeRefused},
    };
}

constexpr const char* kNoAnswer = N_("応答なし");

}  // namespace

std::unique_ptr<Rfc2217Transport> Rfc2217Transport::open(
    const NetworkAddress& address, const std::string& target, const PortSettings& settings,
    std::chrono::milliseconds timeout, PortProblemKind& failure, std::string& detail) {
    // One deadline for the whole open: a server that accepts at the last moment and then
    // negotiates slowly must not double the time the user was promised.
    const auto deadline = Clock::now() + timeout;
    const int fd = connectTcp(address, deadline, failure, detail);
    if (fd < 0) {
        return nullptr;
    }
    auto transport = std::unique_ptr<Rfc2217Transport>(new Rfc2217Transport(fd, target));
    if (!transport->negotiate(settings, deadline, failure, detail)) {
        return nullptr;
    }
    return transport;
}

bool Rfc2217Transport::negotiate(const PortSettings& settings, Clock::time_point deadline,
                                 PortProblemKind& failure, std::string& detail) {
    const std::vector<LineSetting> wanted = lineSettings(settings);
    bool commandsSent = false;
    const LineSetting* missing = &wanted.front();
    // Why the open ends when it does not succeed: the stream's end, or the deadline while
    // an answer was still missing (which setting, and what was asked for).
    auto fail = [&](IoStatus status) {
        if (status == IoStatus::TimedOut) {
            failure = commandsSent ? missing->refused : PortProblemKind::NoComPortOption;
            detail = commandsSent ? i18n::fill(QX_("要求 %1、応答なし"),
                                               {valueText(missing->command, missing->value)})
                                  : i18n::translate(kNoAnswer);
            return false;
        }
        const auto problem = lineProblem();
        failure = problem ? problem->kind : PortProblemKind::Io;
        detail = problem ? problem->detail : std::string();
        return false;
    };
    if (const IoStatus status = send(m_options.start(), deadline); status != IoStatus::Ok) {
        return fail(status);
    }
    for (;;) {
        if (m_options.comPortRefused()) {
            failure = PortProblemKind::NoComPortOption;
            detail.clear();
            return false;
        }
        if (!commandsSent && m_options.comPortAgreed()) {
            std::string commands;
            for (const LineSetting& s : wanted) {
                commands += comPortCommand(s.command, s.value);
            }
            // Like the serial transport: no flow control. Servers on a line set "local"
            // do not answer it, so nothing waits for it.
            commands += comPortCommand(kSetControl, kControlNoFlowControl);
            if (const IoStatus status = send(commands, deadline); status != IoStatus::Ok) {
                return fail(status);
            }
            commandsSent = true;
        }
        missing = nullptr;
        for (const LineSetting& s : wanted) {
            const auto answer = m_answers.find(s.command);
            if (commandsSent && answer != m_answers.end() && answer->second != s.value) {
                failure = s.refused;
                detail = i18n::fill(
                    QX_("要求 %1、応答 %2"),
                    {valueText(s.command, s.value), valueText(s.command, answer->second)});
                return false;
            }
            if (missing == nullptr && answer == m_answers.end()) {
                missing = &s;
            }
        }
        if (commandsSent && missing == nullptr) {
            return true;
        }
        // Checked on every round, not only when the socket falls silent: a server that
        // never stops sending would otherwise keep the open going for ever.
        std::string raw;
        IoStatus status = passed(deadline) ? IoStatus::TimedOut : m_stream.receive(raw, deadline);
        if (status == IoStatus::Ok) {
            status = take(raw, deadline);
        }
        if (status != IoStatus::Ok) {
            return fail(status);
        }
    }
}

void Rfc2217Transport::decode(std::string_view raw, std::vector<Event>& events) {
    const std::size_t before = m_data.size();
    m_decoder.feed(raw, m_data, events);
    m_words.note(std::string_view(m_data).substr(before));
    // Data nobody has read yet (sent before the line was set, or faster than it is read) is
    // kept only to a few frames' worth, the newest: the frame scanner falls back in step.
    if (m_data.size() > kMaxReadBytes) {
        m_data.erase(0, m_data.size() - kMaxReadBytes);
    }
}

IoStatus Rfc2217Transport::send(std::string_view bytes, Clock::time_point deadline) {
    const IoStatus status = m_stream.send(bytes, deadline);
    if (status == IoStatus::Failed) {
        std::string rest;
        m_stream.leftBehind(rest, kMaxDiscardBytes);
        std::vector<Event> ignored;
        decode(rest, ignored);
    }
    return status;
}

IoStatus Rfc2217Transport::take(std::string_view raw, Clock::time_point deadline) {
    std::vector<Event> events;
    decode(raw, events);
    std::string replies;
    for (const Event& event : events) {
        if (event.kind == Event::Kind::Negotiation) {
            replies += m_options.answer(event.verb, event.option);
        } else if (event.option == kOptionComPort && !event.body.empty()) {
            const auto command = static_cast<unsigned char>(event.body[0]);
            if (command > kServerReply) {
                m_answers[static_cast<unsigned char>(command - kServerReply)] =
                    comPortValue(event.body);
            }
        }
    }
    return replies.empty() ? IoStatus::Ok : send(replies, deadline);
}

IoStatus Rfc2217Transport::write(std::string_view bytes, Clock::time_point deadline) {
    return send(escapeData(bytes), deadline);
}

IoStatus Rfc2217Transport::read(std::string& out, Clock::time_point deadline) {
    for (;;) {
        if (!m_data.empty()) {
            out += m_data;
            m_data.clear();
            return IoStatus::Ok;
        }
        std::string raw;
        const IoStatus status = m_stream.receive(raw, deadline);
        if (status != IoStatus::Ok) {
            return status;
        }
        if (take(raw, deadline) == IoStatus::Failed) {
            return IoStatus::Failed;
        }
        // Telnet commands without data, sent without pause, must not hold the read past
        // its deadline.
        if (m_data.empty() && passed(deadline)) {
            return IoStatus::TimedOut;
        }
    }
}

void Rfc2217Transport::discardInput() {
    // Through the decoder, not around it: a command split at the end of what has arrived
    // must still be recognised when its remainder comes.
    std::string raw;
    m_stream.drain(raw, kMaxDiscardBytes);
    take(raw, Clock::now());
    m_data.clear();
}

}  // namespace qavix::link
