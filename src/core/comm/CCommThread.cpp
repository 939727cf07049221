#include "comm/CCommThread.h"

#include <array>
#include <cstdio>
#include <optional>

#include "comm/CommMessages.h"
#include "comm/PortFailure.h"
#include "model/Codec.h"
#include "model/ControllerError.h"

namespace qavix {

namespace {

constexpr int kMaxUnits = 16;

std::string textOf(const char* buffer, size_t size) {
    size_t n = 0;
    while (n < size && buffer[n] != '\0') {
        ++n;
    }
    return std::string(buffer, n);
}

bool isPutOfCurrentSet(int code) {
    return code >= 1 && code <= kCodeLastPut;
}
bool isBankPut(int code) {
    return code >= kCodeFirstBankPut && code <= kCodeLastBankPut;
}

}  // namespace

CCommThread::CCommThread(const LinkApi& api, CommHost& host, const CommTimings& timings)
    : m_api(api), m_host(host), m_timings(timings) {}

CCommThread::~CCommThread() {
    stop();
}

void CCommThread::start() {
    if (!m_thread.joinable()) {
        m_stop = false;
        m_thread = std::thread([this] { run(); });
    }
}

void CCommThread::stop() {
    if (!m_thread.joinable()) {
        return;
    }
    m_suspended = true;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_request = RequestBlock{};
        m_request.code = kCodeEndWorker;
    }
    m_stop = true;
    m_requestEvent.set();
    // Every library call has a time-out, so the worker comes back; the join is bounded by
    // the longest call in progress, never by killing the thread.
    m_thread.join();
}

void CCommThread::setSettings(const LinkSettings& settings) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings = settings;
}

LinkSettings CCommThread::settings() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

void CCommThread::setLostHook(LostHook hook) {
    m_lostHook = std::move(hook);
}

void CCommThread::post(const RequestBlock& request) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_request = request;
    }
    m_requestEvent.set();
}

RequestBlock CCommThread::takeResult() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_request;
}

std::string CCommThread::statusText() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_statusText;
}

bool CCommThread::unitConnected(int unit) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return unit >= 0 && unit < kMaxUnits && m_unitConnected[static_cast<size_t>(unit)];
}

void CCommThread::setUnitConnected(int unit, bool connected) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (unit >= 0 && unit < kMaxUnits) {
        m_unitConnected[static_cast<size_t>(unit)] = connected;
    }
}

std::string CCommThread::openProblem() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_openProblem;
}

void CCommThread::setOpenProblem(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openProblem = text;
}

int CCommThread::unit() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings.unit;
}

int CCommThread::cappedTimeout(int timeoutMs) const {
    const auto cap = static_cast<int>(m_timings.requestTimeout.count());
    return timeoutMs < cap ? timeoutMs : cap;
}

int CCommThread::timeoutOf(const RequestBlock& r) const {
    return cappedTimeout(r.timeoutMs());
}

void CCommThread::sleep(std::chrono::milliseconds d) {
    if (d.count() > 0) {
        std::this_thread::sleep_for(d);
    }
}

void CCommThread::run() {
    while (!m_stop) {
        if (!m_requestEvent.wait(m_timings.pollPeriod)) {
            if (!m_suspended && !m_ended) {
                if (statusCheck(kStatusIdle) == kWorkerLost && !m_connecting) {
                    m_ended = true;
                    m_host.endProgram();
                }
            }
            continue;
        }
        RequestBlock request;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            request = m_request;
        }
        if (request.code == kCodeEndWorker) {
            request.result = kWorkerOk;
        } else if (m_ended) {
            // After the end has been asked for, nothing more goes to the controller.
            request.result = kWorkerLost;
        } else {
            request.reply.clear();
            request.replies.clear();
            request.result = dispatch(request);
        }
        const bool endNow = request.result == kWorkerLost && !m_connecting && !m_ended &&
                            request.code != kCodeEndWorker;
        if (endNow) {
            m_ended = true;
            m_host.endProgram();
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_request = request;
        }
        m_done.set();
    }
}

int CCommThread::dispatch(RequestBlock& r) {
    const int code = r.code;
    const int u = unit();
    if (code == kCodePutControl) {
        const int started = startSetting(kStatusBeforeWrite, [&] { return m_api.startSetting(u); });
        if (started != kWorkerOk) {
            return started;
        }
        const int put =
            call([&] { return m_api.putControlDataWait(code, r.text.c_str(), timeoutOf(r)); });
        if (put != kWorkerOk) {
            return put;
        }
        return enableAndVerify(false);
    }
    if (isPutOfCurrentSet(code) || isBankPut(code)) {
        return putParameter(r);
    }
    if (code == kCodeControl46 || code == kCodeControl47 || code == kCodeClock) {
        const int status = statusCheck(kStatusIdle);
        if (status != kWorkerOk) {
            return status;
        }
        std::array<char, kStatusBufferSize> buffer{};
        const int result = call([&] {
            buffer.fill('\0');
            return m_api.getControlDataWait(code, buffer.data(), timeoutOf(r));
        });
        r.reply = textOf(buffer.data(), buffer.size());
        return result;
    }
    switch (code) {
        case kCodeStatus:
            return statusCheck(kStatusFirstConnection);
        case kCodeStartSetting:
        case kCodeStartBankSetting:
            return startSetting(kStatusBeforeWrite, [&] { return m_api.startSetting(u); });
        case kCodeEnableSetting:
            return enableAndVerify(false);
        case kCodeEnableBankSetting:
            return enableAndVerify(true);
        case kCodeClearBank: {
            const int status = statusCheck(kStatusFactoryMode);
            if (status != kWorkerOk) {
                return status;
            }
            m_changeSent = true;
            return call([&] { return m_api.clearBank(u, r.arg[0]); });
        }
        case kCodeZeroReset: {
            const int status = statusCheck(kStatusIdle);
            return status != kWorkerOk ? status
                                       : call([&] { return m_api.zeroReset(u, r.arg[0]); });
        }
        case kCodeTeachRatio: {
            const int status = statusCheck(kStatusIdle);
            return status != kWorkerOk
                       ? status
                       : call([&] { return m_api.teachRatio(u, r.arg[4], r.arg[0], r.arg[5]); });
        }
        case kCodeFactoryStart: {
            const int status = statusCheck(kStatusBeforeWrite);
            if (status != kWorkerOk) {
                return status;
            }
            const int started = call([&] { return m_api.factStart(u); });
            if (started != kWorkerOk) {
                return started;
            }
            m_written.clear();
            m_changeSent = false;
            return statusCheck(kStatusFactoryMode);
        }
        case kCodeFactoryEnd:
            return factoryEnd();
        case kCodeOpen:
            return open();
        case kCodeClose:
            if (m_api.close != nullptr) {
                m_api.close();
            }
            return kWorkerOk;
        case kCodeSuspendPolling:
            m_suspended = true;
            return kWorkerOk;
        case kCodeResumePolling:
            m_suspended = false;
            return statusCheck(kStatusIdle);
        default:
            break;
    }
    if (code >= kCodeFirstString && code <= kCodeLastString) {
        const int status = statusCheck(kStatusIdle);
        if (status != kWorkerOk) {
            return status;
        }
        std::array<char, kReplyBufferSize> buffer{};
        const int result = call([&] {
            buffer.fill('\0');
            return m_api.getStringDataWait(code, r.arg[0], r.arg[2], buffer.data(), timeoutOf(r));
        });
        r.reply = textOf(buffer.data(), buffer.size());
        return result;
    }
    if ((code >= kCodeFirstParameter && code <= kCodeLastParameter) ||
        (code >= kCodeFirstBankRead && code <= kCodeLastBankRead)) {
        return readParameter(r, kStatusIdle);
    }
    if (code >= kCodeFirstBankSummary && code <= kCodeLastBankSummary) {
        return readBankSummary(r);
    }
    return kWorkerOk;
}

int CCommThread::open() {
    const LinkSettings s = settings();
    const int port = s.activePort;
    char name[16];
    std::snprintf(name, sizeof name, "COM%d", port + 1);
    PortBlock block = s.blocks.at(static_cast<size_t>(port));
    block[5] = s.unit;
    for (int attempt = 0; attempt < kLibraryCallAttempts; ++attempt) {
        if (attempt > 0) {
            sleep(m_timings.retryDelay);
        }
        if (m_api.open(name, block.data()) != 0) {
            setOpenProblem({});
            recordTrace();
            return kWorkerOk;
        }
    }
    // A port that is busy, forbidden or unplugged is no lost connection: the question
    // that follows says what is wrong with it.
    setOpenProblem(openFailureText(m_api, name));
    return kWorkerLost;
}

int CCommThread::putParameter(RequestBlock& r) {
    const int status = statusCheck(kStatusDuringWrite);
    if (status != kWorkerOk) {
        return status;
    }
    const int result = call([&] {
        return m_api.putParameterDataWait(r.code, r.arg[1], r.arg[2], r.text.c_str(), timeoutOf(r));
    });
    if (result == kWorkerOk) {
        m_written.push_back(r);
    }
    return result;
}

int CCommThread::readParameter(RequestBlock& r, int statusMode) {
    const int status = statusCheck(statusMode);
    if (status != kWorkerOk) {
        return status;
    }
    std::array<char, kReplyBufferSize> buffer{};
    const int result = call([&] {
        buffer.fill('\0');
        return m_api.getParameterDataWait(r.code, r.arg[1], r.arg[2], buffer.data(), timeoutOf(r));
    });
    r.reply = textOf(buffer.data(), buffer.size());
    return result;
}

int CCommThread::readBankSummary(RequestBlock& r) {
    // The identity part of each sub-block: enough to tell whether a bank fits this controller.
    static constexpr std::array<std::array<int, 2>, 4> kPieces = {
        {{0, 8}, {64, 8}, {128, 8}, {192, 29}}};
    const int status = statusCheck(kStatusIdle);
    if (status != kWorkerOk) {
        return status;
    }
    const int id = kCodeFirstBankRead + (r.code - kCodeFirstBankSummary);
    for (const auto& piece : kPieces) {
        std::array<char, kReplyBufferSize> buffer{};
        const int result = call([&] {
            buffer.fill('\0');
            return m_api.getParameterDataWait(id, piece[0], piece[1], buffer.data(), timeoutOf(r));
        });
        if (result != kWorkerOk) {
            return result;
        }
        r.replies.push_back(textOf(buffer.data(), buffer.size()));
    }
    return kWorkerOk;
}

int CCommThread::startSetting(int statusMode, std::function<int()> entry) {
    const int status = statusCheck(statusMode);
    if (status != kWorkerOk) {
        return status;
    }
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

int CCommThread::verifyWrittenBlocks(bool wholeText) {
    for (const RequestBlock& written : m_written) {
        const int readCode = codec::pairedReadCode(written.code);
        if (readCode == 0) {
            continue;
        }
        RequestBlock read = written;
        read.code = readCode;
        std::array<char, kReplyBufferSize> buffer{};
        const int result = call([&] {
            buffer.fill('\0');
            return m_api.getParameterDataWait(readCode, read.arg[1], read.arg[2], buffer.data(),
                                              timeoutOf(read));
        });
        if (result != kWorkerOk) {
            return result;
        }
        const std::string back = textOf(buffer.data(), buffer.size());
        // A read-back shorter than what was written proves nothing, so it fails the
        // check instead of passing over an empty comparison.
        const bool same = wholeText ? back == written.text
                                    : back.size() >= written.text.size() &&
                                          back.compare(0, written.text.size(), written.text) == 0;
        if (!same) {
            m_host.showMessage(msg::kWriteFailed);
            return kWorkerFailed;
        }
    }
    return kWorkerOk;
}

int CCommThread::factoryEnd() {
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

int CCommThread::call(const std::function<int()>& entry) {
    int result = 0;
    for (int attempt = 0; attempt < kLibraryCallAttempts; ++attempt) {
        if (attempt > 0) {
            sleep(m_timings.retryDelay);
        }
        result = entry();
        if (result == 1) {
            recordTrace();
            return kWorkerOk;
        }
    }
    if (m_connecting) {
        return kWorkerLost;
    }
    return lost(msg::kCommunicationCut);
}

int CCommThread::lost(const char* message) {
    LostConnection report;
    report.cause = message;
    report.writeMayHaveLanded = m_changeSent;
    m_host.showLostMessage(m_lostHook ? m_lostHook(report) : lostConnectionMessage(report));
    return kWorkerLost;
}

void CCommThread::recordTrace() {
    if (!m_trace || m_api.getCommData == nullptr) {
        return;
    }
    std::array<char, kFrameBufferSize> sent{};
    std::array<char, kFrameBufferSize> received{};
    m_api.getCommData(sent.data(), received.data());
    m_host.recordTrace(textOf(sent.data(), sent.size()), textOf(received.data(), received.size()));
}

std::optional<std::string> CCommThread::readStatus() {
    std::array<char, kStatusBufferSize> buffer{};
    if (m_api.getControlDataWait(kCodeStatus, buffer.data(), cappedTimeout(kRequestTimeoutMs)) !=
        1) {
        return std::nullopt;
    }
    recordTrace();
    return textOf(buffer.data(), buffer.size());
}

std::optional<std::string> CCommThread::readErrorBlock() {
    std::array<char, kStatusBufferSize> buffer{};
    if (m_api.getParameterDataWait(code::kReadErrorLog, 0, 0, buffer.data(),
                                   cappedTimeout(kErrorBlockTimeoutMs)) != 1) {
        return std::nullopt;
    }
    recordTrace();
    return textOf(buffer.data(), buffer.size());
}

void CCommThread::resetController() {
    m_api.reset(unit());
}

void CCommThread::setConnected(bool connected) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int u = m_settings.unit;
    if (u >= 0 && u < kMaxUnits) {
        m_unitConnected[static_cast<size_t>(u)] = connected;
    }
}

void CCommThread::setStatusText(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_statusText = text;
}

}  // namespace qavix
