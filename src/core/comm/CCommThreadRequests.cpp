// The worker's requests: which status check each runs first, and what it asks the library.

#include <algorithm>
#include <array>
#include <vector>

#include "Translate.h"
#include "comm/CCommThread.h"
#include "comm/CommMessages.h"
#include "comm/PortFailure.h"
#include "model/Codec.h"

namespace qavix {

namespace {

// A handler that runs its own status checks, or none.
constexpr int kNoStatusCheck = 0;
constexpr int kFirstPut = 1;

}  // namespace

struct CCommThread::Handler {
    int first;  // request codes first..last
    int last;
    int statusMode;  // the status check before the handler, or kNoStatusCheck
    int (CCommThread::*run)(RequestBlock&);
};

const CCommThread::Handler* CCommThread::handlerOf(int code) {
    using C = CCommThread;
    // clang-format off
    static const Handler kHandlers[] = {
        {kCodePutControl,        kCodePutControl,        kStatusBeforeWrite, &C::putControl},
        {kFirstPut,              kCodeLastPut,           kStatusDuringWrite, &C::putParameter},
        {kCodeFirstBankPut,      kCodeLastBankPut,       kStatusDuringWrite, &C::putParameter},
        {kCodeControl46,         kCodeControl47,         kStatusIdle,        &C::getControl},
        {kCodeStatus,            kCodeStatus,            kNoStatusCheck,     &C::firstConnection},
        {kCodeClock,             kCodeClock,             kStatusIdle,        &C::getControl},
        {kCodeStartSetting,      kCodeStartSetting,      kStatusBeforeWrite, &C::settingStart},
        {kCodeEnableSetting,     kCodeEnableSetting,     kNoStatusCheck,     &C::settingEnable},
        {kCodeClearBank,         kCodeClearBank,         kStatusFactoryMode, &C::clearBank},
        {kCodeZeroReset,         kCodeZeroReset,         kStatusIdle,        &C::zeroReset},
        {kCodeTeachRatio,        kCodeTeachRatio,        kStatusIdle,        &C::teachRatio},
        {kCodeFirstString,       kCodeLastString,        kStatusIdle,        &C::getString},
        {kCodeFirstParameter,    kCodeLastParameter,     kStatusIdle,        &C::readParameter},
        {kCodeFirstBankRead,     kCodeLastBankRead,      kStatusIdle,        &C::readParameter},
        {kCodeFactoryStart,      kCodeFactoryStart,      kStatusBeforeWrite, &C::factoryStart},
        {kCodeFactoryEnd,        kCodeFactoryEnd,        kNoStatusCheck,     &C::factoryEnd},
        {kCodeOpen,              kCodeOpen,              kNoStatusCheck,     &C::open},
        {kCodeClose,             kCodeClose,             kNoStatusCheck,     &C::close},
        {kCodeSuspendPolling,    kCodeSuspendPolling,    kNoStatusCheck,     &C::suspendPolling},
        {kCodeResumePolling,     kCodeResumePolling,     kNoStatusCheck,     &C::resumePolling},
        {kCodeStartBankSetting,  kCodeStartBankSetting,  kStatusBeforeWrite, &C::settingStart},
        {kCodeEnableBankSetting, kCodeEnableBankSetting, kNoStatusCheck,     &C::bankSettingEnable},
        {kCodeLeaveSetting,      kCodeLeaveSetting,      kNoStatusCheck,     &C::leaveSetting},
        {kCodeFirstBankSummary,  kCodeLastBankSummary,   kStatusIdle,        &C::readBankSummary},
    };
    // clang-format on
    for (const Handler& h : kHandlers) {
        if (code >= h.first && code <= h.last) {
            return &h;
        }
    }
    return nullptr;
}

int CCommThread::dispatch(RequestBlock& r) {
    const Handler* handler = handlerOf(r.code);
    if (handler == nullptr) {
        return kWorkerOk;
    }
    if (handler->statusMode != kNoStatusCheck) {
        const int status = statusCheck(handler->statusMode);
        if (status != kWorkerOk) {
            return status;
        }
    }
    return (this->*handler->run)(r);
}

int CCommThread::readReply(const std::function<int(char* buffer)>& entry, size_t bufferSize,
                           std::string& reply) {
    std::vector<char> buffer(bufferSize);
    const int result = call([&] {
        std::fill(buffer.begin(), buffer.end(), '\0');
        return entry(buffer.data());
    });
    reply = textOf(buffer.data(), buffer.size());
    return result;
}

int CCommThread::putControl(RequestBlock& r) {
    const int u = unit();
    const int started = startSetting([&] { return m_api.startSetting(u); });
    if (started != kWorkerOk) {
        return started;
    }
    const int put =
        call([&] { return m_api.putControlDataWait(r.code, r.text.c_str(), timeoutOf(r)); });
    if (put != kWorkerOk) {
        return put;
    }
    return enableAndVerify(false);
}

int CCommThread::putParameter(RequestBlock& r) {
    const int result = call([&] {
        return m_api.putParameterDataWait(r.code, r.arg[1], r.arg[2], r.text.c_str(), timeoutOf(r));
    });
    if (result == kWorkerOk) {
        m_written.push_back(r);
    }
    return result;
}

int CCommThread::getControl(RequestBlock& r) {
    return readReply(
        [&](char* buffer) { return m_api.getControlDataWait(r.code, buffer, timeoutOf(r)); },
        kStatusBufferSize, r.reply);
}

int CCommThread::getString(RequestBlock& r) {
    return readReply(
        [&](char* buffer) {
            return m_api.getStringDataWait(r.code, r.arg[0], r.arg[2], buffer, timeoutOf(r));
        },
        kReplyBufferSize, r.reply);
}

int CCommThread::readParameter(RequestBlock& r) {
    return readReply(
        [&](char* buffer) {
            return m_api.getParameterDataWait(r.code, r.arg[1], r.arg[2], buffer, timeoutOf(r));
        },
        kReplyBufferSize, r.reply);
}

int CCommThread::readBankSummary(RequestBlock& r) {
    // The identity part of each sub-block: enough to tell whether a bank fits this controller.
    static constexpr std::array<std::array<int, 2>, 4> kPieces = {
        {{0, 8}, {64, 8}, {128, 8}, {192, 29}}};
    const int id = kCodeFirstBankRead + (r.code - kCodeFirstBankSummary);
    for (const auto& piece : kPieces) {
        std::string reply;
        const int result = readReply(
            [&](char* buffer) {
                return m_api.getParameterDataWait(id, piece[0], piece[1], buffer, timeoutOf(r));
            },
            kReplyBufferSize, reply);
        if (result != kWorkerOk) {
            return result;
        }
        r.replies.push_back(reply);
    }
    return kWorkerOk;
}

int CCommThread::firstConnection(RequestBlock& /*r*/) {
    return statusCheck(kStatusFirstConnection);
}

int CCommThread::settingStart(RequestBlock& /*r*/) {
    const int u = unit();
    return startSetting([&] { return m_api.startSetting(u); });
}

int CCommThread::settingEnable(RequestBlock& /*r*/) {
    return enableAndVerify(false);
}

int CCommThread::bankSettingEnable(RequestBlock& /*r*/) {
    return enableAndVerify(true);
}

int CCommThread::clearBank(RequestBlock& r) {
    const int u = unit();
    m_changeSent = true;
    return call([&] { return m_api.clearBank(u, r.arg[0]); });
}

int CCommThread::zeroReset(RequestBlock& r) {
    const int u = unit();
    return call([&] { return m_api.zeroReset(u, r.arg[0]); });
}

int CCommThread::teachRatio(RequestBlock& r) {
    const int u = unit();
    return call([&] { return m_api.teachRatio(u, r.arg[4], r.arg[0], r.arg[5]); });
}

int CCommThread::factoryStart(RequestBlock& /*r*/) {
    const int u = unit();
    const int started = call([&] { return m_api.factStart(u); });
    if (started != kWorkerOk) {
        return started;
    }
    m_written.clear();
    m_changeSent = false;
    return statusCheck(kStatusFactoryMode);
}

int CCommThread::factoryEnd(RequestBlock& /*r*/) {
    const int u = unit();
    int result = call([&] { return m_api.factEnd(u); });
    if (result == kWorkerOk) {
        result = call([&] { return m_api.reset(u); });
    }
    if (result != kWorkerOk) {
        return result;
    }
    sleep(m_timings.resetSettle);
    result = statusCheck(kStatusIdle);
    if (result != kWorkerLost) {
        m_changeSent = false;
    }
    return result;
}

int CCommThread::open(RequestBlock& /*r*/) {
    const LinkSettings s = settings();
    const int port = s.activePort;
    const std::string name = portNameOf(s);
    PortBlock block = s.blocks.at(static_cast<size_t>(port));
    block[5] = s.unit;
    for (int attempt = 0; attempt < kLibraryCallAttempts; ++attempt) {
        if (attempt > 0) {
            // Each attempt may take the whole connect time-out (a device server that does
            // not answer): after a cancel none more is made.
            if (m_host.cancelRequested()) {
                break;
            }
            sleep(m_timings.retryDelay);
        }
        if (m_api.open(name.c_str(), block.data()) != 0) {
            setOpenProblem({});
            recordTrace();
            return kWorkerOk;
        }
    }
    // A port that is busy, forbidden or unplugged is no lost connection: the question
    // that follows says what is wrong with it.
    setOpenProblem(openFailureText(m_api, name), qavix::openFoundBusy(m_api));
    return kWorkerLost;
}

int CCommThread::close(RequestBlock& /*r*/) {
    if (m_api.close != nullptr) {
        m_api.close();
    }
    return kWorkerOk;
}

int CCommThread::suspendPolling(RequestBlock& /*r*/) {
    m_suspended = true;
    return kWorkerOk;
}

int CCommThread::resumePolling(RequestBlock& /*r*/) {
    m_suspended = false;
    return statusCheck(kStatusIdle);
}

int CCommThread::startSetting(const std::function<int()>& entry) {
    // A start whose answer is lost may still have reached the controller.
    m_settingOpen = true;
    const int started = call(entry);
    if (started != kWorkerOk) {
        return started;
    }
    m_written.clear();
    m_changeSent = false;
    return statusCheck(kStatusDuringWrite);
}

int CCommThread::enableAndVerify(bool wholeText) {
    const int u = unit();
    // Even an enable whose answer is lost may have reached the controller.
    m_changeSent = true;
    int result = call([&] { return m_api.enableSetting(u); });
    if (result == kWorkerOk) {
        result = call([&] { return m_api.reset(u); });
    }
    if (result == kWorkerOk) {
        m_settingOpen = false;
        sleep(m_timings.resetSettle);
        result = statusCheck(kStatusIdle);
    }
    if (result == kWorkerOk) {
        result = verifyWrittenBlocks(wholeText);
    }
    m_written.clear();
    if (result != kWorkerLost) {
        m_changeSent = false;  // the controller answered after taking it: its fate is known
    }
    return result;
}

int CCommThread::leaveSetting(RequestBlock& /*r*/) {
    if (!m_settingOpen) {
        return kWorkerOk;
    }
    const int u = unit();
    // Without EnableSetting the reset discards what was put: the controller goes back to
    // the settings it had.
    const int result = call([&] { return m_api.reset(u); });
    if (result != kWorkerOk) {
        return result;
    }
    m_settingOpen = false;
    m_written.clear();
    sleep(m_timings.resetSettle);
    return statusCheck(kStatusIdle);
}

int CCommThread::verifyWrittenBlocks(bool wholeText) {
    for (const RequestBlock& written : m_written) {
        const int readCode = codec::pairedReadCode(written.code);
        if (readCode == 0) {
            continue;
        }
        RequestBlock read = written;
        read.code = readCode;
        std::string back;
        const int result = readReply(
            [&](char* buffer) {
                return m_api.getParameterDataWait(readCode, read.arg[1], read.arg[2], buffer,
                                                  timeoutOf(read));
            },
            kReplyBufferSize, back);
        if (result != kWorkerOk) {
            return result;
        }
        // A read-back shorter than what was written proves nothing, so it fails the
        // check instead of passing over an empty comparison.
        const bool same = wholeText ? back == written.text
                                    : back.size() >= written.text.size() &&
                                          back.compare(0, written.text.size(), written.text) == 0;
        if (!same) {
            m_host.showMessage(i18n::translate(msg::kWriteFailed));
            return kWorkerFailed;
        }
    }
    return kWorkerOk;
}

}  // namespace qavix
