#include "comm/CCommThread.h"

#include <array>
#include <optional>

#include "Translate.h"
#include "comm/CommMessages.h"
#include "comm/PortFailure.h"
#include "model/ControllerError.h"

namespace qavix {

namespace {

constexpr int kMaxUnits = 16;

}  // namespace

std::string CCommThread::textOf(const char* buffer, size_t size) {
    size_t n = 0;
    while (n < size && buffer[n] != '\0') {
        ++n;
    }
    return std::string(buffer, n);
}

CCommThread::CCommThread(const LinkApi& api, CommHost& host, const CommTimings& timings)
    : m_api(api), m_host(host), m_timings(timings) {}

CCommThread::~CCommThread() {
    stop();
}

void CCommThread::start(int connection) {
    if (!m_thread.joinable()) {
        m_stop = false;
        m_connection = connection;
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

void CCommThread::setResetHook(ResetHook hook) {
    m_resetHook = std::move(hook);
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

std::string CCommThread::silenceText() const {
    const std::string port = portName();
    return silentLineText(port, port);
}

bool CCommThread::openFoundBusy() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_openBusy;
}

void CCommThread::setOpenProblem(const std::string& text, bool busy) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openProblem = text;
    m_openBusy = busy;
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
    // The library's connections are chosen per thread; this is the only thread that calls
    // the library on a connection of its own.
    if (m_connection != 0 && m_api.useConnection != nullptr) {
        m_api.useConnection(m_connection);
    }
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
    return lost(i18n::translate(msg::kCommunicationCut));
}

std::string CCommThread::portName() const {
    return portNameOf(settings());
}

int CCommThread::lost(const char* message) {
    // One state for a lost line, however it was found (a status check, a request's own
    // replies) and whatever the transport: the status bar shows it while the message is up.
    setConnected(false);
    LostConnection report;
    report.cause = message;
    // A device server that closed the connection says more than "cut": who took the line.
    if (const std::string why = lineFailureText(m_api, portName()); !why.empty()) {
        report.cause = why + "\n\n" + message;
    }
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
        // An open that went through to a port in use (a raw device server port answers the
        // connection, then says so and closes): the first connection's question says why.
        if (const std::string why = lineFailureText(m_api, portName()); !why.empty()) {
            setOpenProblem(why);
        }
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

bool CCommThread::resetController() {
    const auto reset = [this] {
        const bool taken = m_api.reset(unit()) == 1;
        m_settingOpen = false;
        return taken;
    };
    if (m_resetHook) {
        return m_resetHook(reset);
    }
    reset();
    return true;
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
