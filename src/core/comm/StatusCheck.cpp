#include "comm/StatusCheck.h"

#include "comm/CommMessages.h"
#include "comm/RequestBlock.h"
#include "comm/StatusReply.h"
#include "model/ControllerError.h"

namespace qavix {

namespace {

bool isKnownMode(int mode) {
    return mode >= kStatusFirstConnection && mode <= kStatusFactoryMode;
}

}  // namespace

StatusCheck::StatusCheck(StatusLine& line, CommHost& host, const CommTimings& timings)
    : m_line(line), m_host(host), m_timings(timings) {}

int StatusCheck::run(int mode) {
    m_errorBlockMisses = 0;
    for (;;) {
        bool again = false;
        const int result = once(mode, again);
        if (!again || m_line.stopping()) {
            return result;
        }
        m_line.pause(m_timings.recheckPause);
    }
}

std::optional<std::string> StatusCheck::readStatus() {
    for (int attempt = 0; attempt < kStatusReadAttempts; ++attempt) {
        if (attempt > 0) {
            m_line.pause(m_timings.retryDelay);
        }
        if (std::optional<std::string> reply = m_line.readStatus()) {
            return reply;
        }
    }
    return std::nullopt;
}

int StatusCheck::once(int mode, bool& again) {
    const std::optional<std::string> reply = readStatus();
    if (!reply) {
        return unanswered(mode, again);
    }
    m_line.setConnected(true);
    m_line.setStatusText(msg::kConnectedStatus);

    const std::optional<StatusReply> status = parseStatusReply(*reply);
    if (!status) {
        // A status the program cannot read is treated as an abnormal state rather than as
        // "normal": nothing would be safe to write to such a controller.
        m_host.showMessage(msg::kAbnormalState);
        return kWorkerLost;
    }
    if (status->sensors == 0) {
        m_host.showMessage(msg::kNoSensor);
        return kWorkerLost;
    }
    return evaluateState(status->state, mode, again);
}

int StatusCheck::unanswered(int mode, bool& again) {
    if (mode == kStatusFirstConnection) {
        // A line that never answered was not cut: the question says what is wrong instead.
        std::string problem = m_line.openProblem();
        if (problem.empty()) {
            problem = m_line.silenceText();
        }
        const std::string question =
            problem.empty() ? msg::kAskCommSetup : problem + "\n\n" + msg::kAskCommSetupOnly;
        if (m_host.ask(Question::CommSetup, question)) {
            m_host.runCommSettings();
            again = true;
            return kWorkerOk;
        }
        m_line.setConnected(false);
        return kWorkerLost;
    }
    m_line.setConnected(false);
    return m_line.lost(msg::kCommunicationCut);
}

int StatusCheck::evaluateState(int state, int mode, bool& again) {
    const int ok = isKnownMode(mode) ? kWorkerOk : kWorkerBadMode;
    switch (state) {
        case kStateNormal:
            if (mode == kStatusDuringWrite) {
                m_host.showMessage(msg::kWriteFailed);
                return kWorkerFailed;
            }
            if (mode == kStatusFactoryMode) {
                m_host.showMessage(msg::kBankClearFailed);
                return kWorkerFailed;
            }
            m_lastErrorShown = -1;
            return ok;
        case kStateSetting:
            if (mode == kStatusDuringWrite) {
                return ok;
            }
            return askReset(Question::ResetSettingMode, msg::kAskResetSettingMode, again);
        case kStateError:
            return evaluateErrorState(mode, again);
        case kStateFactory:
            if (mode == kStatusFactoryMode) {
                return ok;
            }
            return askReset(Question::ResetFactoryMode, msg::kAskResetFactoryMode, again);
        default:
            m_host.showMessage(msg::kAbnormalState);
            return kWorkerLost;
    }
}

int StatusCheck::askReset(Question question, const char* text, bool& again) {
    if (!m_host.ask(question, text)) {
        return kWorkerLost;
    }
    if (!m_line.resetController()) {
        return kWorkerLost;
    }
    m_line.pause(m_timings.resetSettle);
    again = true;
    return kWorkerOk;
}

int StatusCheck::evaluateErrorState(int mode, bool& again) {
    const std::optional<std::string> block = m_line.readErrorBlock();
    const auto error = block ? evaluateErrorBlock(*block) : std::nullopt;
    if (!error) {
        // The controller may be between two states; a few misses are looked at again, an
        // error block that never comes is a controller that stopped answering.
        if (++m_errorBlockMisses < kErrorBlockReadAttempts) {
            again = true;
            return kWorkerOk;
        }
        m_line.setConnected(false);
        return m_line.connecting() ? kWorkerLost : m_line.lost(msg::kCommunicationCut);
    }
    m_errorBlockMisses = 0;
    if (error->kind == ErrorKind::Setting) {
        m_line.setStatusText(error->statusText);
        if (error->number != m_lastErrorShown) {
            m_host.showMessage(error->message);
            m_lastErrorShown = error->number;
        }
        return isKnownMode(mode) ? kWorkerOk : kWorkerBadMode;
    }
    m_host.showMessage(error->message);
    return kWorkerLost;
}

}  // namespace qavix
