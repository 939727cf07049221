#include "telemetry/ControllerReader.h"

#include <array>
#include <thread>

#include "PortProblem.h"
#include "comm/PortFailure.h"
#include "comm/RequestBlock.h"
#include "comm/StatusCheck.h"
#include "model/Codec.h"

namespace qavix::telemetry {

namespace {

// KRYL_GetLastError codes of a failed exchange (docs/protocol.md).
constexpr const char* kTimeoutCode = "TIMEOUT";
constexpr const char* kBadCheckCode = "CHECK";
constexpr const char* kTooLongCode = "LONG";
constexpr const char* kRefusedPrefix = "NAK";

std::string textOf(const char* buffer, size_t size) {
    size_t n = 0;
    while (n < size && buffer[n] != '\0') {
        ++n;
    }
    return std::string(buffer, n);
}

}  // namespace

ControllerReader::ControllerReader(const LinkApi& api, const LinkSettings& settings,
                                   const CommTimings& timings)
    : m_api(api), m_settings(settings), m_timings(timings) {}

ControllerReader::~ControllerReader() {
    close();
}

std::string ControllerReader::portName() const {
    return "COM" + std::to_string(m_settings.activePort + 1);
}

std::string ControllerReader::lastErrorCode() const {
    if (m_api.getLastError == nullptr) {
        return {};
    }
    std::array<char, kErrorCodeTextSize> code{};
    std::array<char, kErrorMessageTextSize> message{};
    if (m_api.getLastError(code.data(), message.data()) != 1) {
        return {};
    }
    return textOf(code.data(), code.size());
}

void ControllerReader::pause() const {
    if (m_timings.retryDelay.count() > 0) {
        std::this_thread::sleep_for(m_timings.retryDelay);
    }
}

LineResult ControllerReader::open() {
    if (m_open) {
        return {};
    }
    const std::string name = portName();
    PortBlock block = m_settings.blocks.at(static_cast<size_t>(m_settings.activePort));
    block[5] = m_settings.unit;
    if (m_api.open != nullptr && m_api.open(name.c_str(), block.data()) != 0) {
        m_open = true;
        return {};
    }
    LineResult r;
    const std::string code = lastErrorCode();
    const auto kind = link::portProblemKindFromCode(code);
    r.line = kind == link::PortProblemKind::Busy ? LineState::Busy : LineState::Lost;
    r.problem = openFailureText(m_api, name);
    if (r.problem.empty()) {
        r.problem = code.empty() ? name + ": cannot be opened" : name + ": " + code;
    }
    return r;
}

void ControllerReader::close() {
    if (m_open && m_api.close != nullptr) {
        m_api.close();
    }
    m_open = false;
}

LineResult ControllerReader::failure(int code) const {
    LineResult r;
    const std::string error = lastErrorCode();
    if (error == kTimeoutCode) {
        r.line = LineState::NoAnswer;
        r.problem = "no answer from the controller (request " + std::to_string(code) + ")";
    } else if (error == kBadCheckCode || error == kTooLongCode) {
        r.readError = "malformed reply to request " + std::to_string(code);
    } else if (error.rfind(kRefusedPrefix, 0) == 0) {
        r.readError = "the controller refused request " + std::to_string(code) + " (" + error + ")";
    } else {
        r.line = LineState::Lost;
        r.problem = "the line failed (" + (error.empty() ? std::string("?") : error) + ")";
    }
    return r;
}

LineResult ControllerReader::readStatus(ControllerStatus& out) {
    if (!m_open) {
        if (LineResult opened = open(); !opened.ok()) {
            return opened;
        }
    }
    const int timeout =
        static_cast<int>(std::min<long long>(kRequestTimeoutMs, m_timings.requestTimeout.count()));
    std::array<char, kStatusBufferSize> buffer{};
    bool answered = false;
    for (int attempt = 0; attempt < kStatusReadAttempts && !answered; ++attempt) {
        if (attempt > 0) {
            pause();
        }
        buffer.fill('\0');
        answered = m_api.getControlDataWait(kCodeStatus, buffer.data(), timeout) == 1;
    }
    if (!answered) {
        return failure(kCodeStatus);
    }
    const auto reply = parseStatusReply(textOf(buffer.data(), buffer.size()));
    if (!reply) {
        LineResult r;
        r.readError = "malformed status reply";
        return r;
    }
    out.reply = *reply;
    out.error.reset();
    if (reply->state != kStateError) {
        return {};
    }
    const int blockTimeout = static_cast<int>(
        std::min<long long>(kErrorBlockTimeoutMs, m_timings.requestTimeout.count()));
    for (int attempt = 0; attempt < kErrorBlockReadAttempts; ++attempt) {
        if (attempt > 0) {
            pause();
        }
        buffer.fill('\0');
        if (m_api.getParameterDataWait(code::kReadErrorLog, 0, 0, buffer.data(), blockTimeout) ==
            1) {
            out.error = evaluateErrorBlock(textOf(buffer.data(), buffer.size()));
            if (out.error) {
                return {};
            }
        }
    }
    LineResult r;
    r.readError = "the error block could not be read";
    return r;
}

int ControllerReader::call(const PageRead& r, char* buffer, int timeout) const {
    // Texts and control data come through entries of their own, as the worker calls them.
    if (r.code == kCodeControl46 || r.code == kCodeControl47 || r.code == kCodeClock) {
        return m_api.getControlDataWait(r.code, buffer, timeout);
    }
    if (r.code >= kCodeFirstString && r.code <= kCodeLastString) {
        return m_api.getStringDataWait(r.code, r.arg1, r.count, buffer, timeout);
    }
    return m_api.getParameterDataWait(r.code, r.start, r.count, buffer, timeout);
}

LineResult ControllerReader::read(const std::vector<PageRead>& reads, DeviceModel& model) {
    if (!m_open) {
        if (LineResult opened = open(); !opened.ok()) {
            return opened;
        }
    }
    std::array<char, kReplyBufferSize> buffer{};
    for (const PageRead& r : reads) {
        const int timeout = static_cast<int>(std::min<long long>(
            r.timeoutMs > 0 ? r.timeoutMs : kRequestTimeoutMs, m_timings.requestTimeout.count()));
        bool done = false;
        for (int attempt = 0; attempt < kLibraryCallAttempts && !done; ++attempt) {
            if (attempt > 0) {
                pause();
            }
            buffer.fill('\0');
            done = call(r, buffer.data(), timeout) == 1;
        }
        if (!done) {
            return failure(r.code);
        }
        // A reply the program cannot take apart is a failed read, never a level of garbage.
        if (codec::decodeReply(r.code, r.arg1, r.start, textOf(buffer.data(), buffer.size()),
                               model) == codec::DecodeResult::Malformed) {
            LineResult bad;
            bad.readError = "malformed reply to request " + std::to_string(r.code);
            return bad;
        }
    }
    return {};
}

}  // namespace qavix::telemetry
