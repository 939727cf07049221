#pragma once
// The communication worker: the only thread that calls the link library. It executes one
// request at a time, checks the controller's status before every operation and, while
// idle, every poll period.

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "comm/AutoResetEvent.h"
#include "comm/CommHost.h"
#include "comm/CommTimings.h"
#include "comm/LinkApi.h"
#include "comm/LinkSettings.h"
#include "comm/LostConnection.h"
#include "comm/RequestBlock.h"
#include "comm/StatusCheck.h"

namespace qavix {

class CCommThread : private StatusLine {
  public:
    // Called when the connection is found lost, before its message is shown; returns the
    // text to show (it may name files saved on the way out).
    using LostHook = std::function<std::string(const LostConnection& lost)>;
    // Wraps the reset that the status check makes at the user's word: runs `reset` (true when
    // the library took it) or refuses it; true when the reset was made.
    using ResetHook = std::function<bool(const std::function<bool()>& reset)>;

    CCommThread(const LinkApi& api, CommHost& host, const CommTimings& timings);
    ~CCommThread() override;
    CCommThread(const CCommThread&) = delete;
    CCommThread& operator=(const CCommThread&) = delete;

    // `connection`: the link library connection every call of the worker goes to (0, the
    // shared one, unless the link asked the library for one of its own).
    void start(int connection = 0);
    // Ends the worker: polling stops, the current call finishes within its time-out.
    void stop();

    void setSettings(const LinkSettings& settings);
    LinkSettings settings() const;
    void setLostHook(LostHook hook);
    void setResetHook(ResetHook hook);
    void setTraceEnabled(bool on) { m_trace = on; }
    void setConnecting(bool on) { m_connecting = on; }
    bool connecting() const override { return m_connecting; }
    bool ended() const { return m_ended; }
    // The controller was put into setting mode by this connection and not yet reset out of
    // it (a write in progress, or one given up half-way).
    bool settingOpen() const { return m_settingOpen; }

    // Hand-over with the requesting thread.
    void post(const RequestBlock& request);
    bool waitDone(std::chrono::milliseconds timeout) { return m_done.wait(timeout); }
    RequestBlock takeResult();

    std::string statusText() const;
    bool unitConnected(int unit) const;
    // The communication settings dialog's own test decides the flag while polling is held.
    void setUnitConnected(int unit, bool connected);
    bool pollingSuspended() const { return m_suspended; }
    // Why the last Open failed, in the operator's words; empty after a successful one.
    std::string openProblem() const override;
    std::string silenceText() const override;
    // Whether the last Open failed because another program holds the port.
    bool openFoundBusy() const;

    // The status check of the given mode. Runs on the worker; callable directly while the
    // worker is not started.
    int statusCheck(int mode) { return m_statusCheck.run(mode); }

  private:
    void run();

    // The requests (CCommThreadRequests.cpp): a table from request code to the status check
    // that runs first and the handler that follows it.
    struct Handler;
    static const Handler* handlerOf(int code);
    int dispatch(RequestBlock& request);
    int putControl(RequestBlock& r);
    int putParameter(RequestBlock& r);
    int getControl(RequestBlock& r);
    int getString(RequestBlock& r);
    int readParameter(RequestBlock& r);
    int readBankSummary(RequestBlock& r);
    int firstConnection(RequestBlock& r);
    int settingStart(RequestBlock& r);
    int settingEnable(RequestBlock& r);
    int bankSettingEnable(RequestBlock& r);
    int leaveSetting(RequestBlock& r);
    int clearBank(RequestBlock& r);
    int zeroReset(RequestBlock& r);
    int teachRatio(RequestBlock& r);
    int factoryStart(RequestBlock& r);
    int factoryEnd(RequestBlock& r);
    int open(RequestBlock& r);
    int close(RequestBlock& r);
    int suspendPolling(RequestBlock& r);
    int resumePolling(RequestBlock& r);

    // Enters setting mode with `entry` (the status check before a write has run) and
    // checks that the controller is in it.
    int startSetting(const std::function<int()>& entry);
    int enableAndVerify(bool wholeText);
    int verifyWrittenBlocks(bool wholeText);
    // The text a library entry left in `buffer`, up to its first NUL.
    static std::string textOf(const char* buffer, size_t size);
    // A read's reply: `entry` fills the buffer it is given, zeroed before each attempt.
    int readReply(const std::function<int(char* buffer)>& entry, size_t bufferSize,
                  std::string& reply);

    // The status check's view of this connection.
    std::optional<std::string> readStatus() override;
    std::optional<std::string> readErrorBlock() override;
    bool resetController() override;
    void pause(std::chrono::milliseconds duration) override { sleep(duration); }
    bool stopping() const override { return m_stop; }
    void setConnected(bool connected) override;
    void setStatusText(const std::string& text) override;
    int lost(const char* message) override;
    // "COM1".. for the active port, as the library is opened with it.
    std::string portName() const;

    // Calls a library entry up to three times; on failure shows the cut message (unless
    // connecting) and gives kWorkerLost.
    int call(const std::function<int()>& entry);
    void recordTrace();
    void sleep(std::chrono::milliseconds d);
    // A library call's time-out: what the request asks for, never more than the timings allow.
    int cappedTimeout(int timeoutMs) const;
    int timeoutOf(const RequestBlock& r) const;
    void setOpenProblem(const std::string& text, bool busy = false);
    int unit() const;

    LinkApi m_api;
    CommHost& m_host;
    CommTimings m_timings;
    LostHook m_lostHook;
    ResetHook m_resetHook;

    std::thread m_thread;
    int m_connection = 0;
    AutoResetEvent m_requestEvent;
    AutoResetEvent m_done;
    mutable std::mutex m_mutex;  // guards the request, the settings and the status fields
    RequestBlock m_request;
    LinkSettings m_settings;
    std::string m_statusText;
    std::string m_openProblem;
    bool m_openBusy = false;
    std::array<bool, 16> m_unitConnected{};

    std::vector<RequestBlock> m_written;
    StatusCheck m_statusCheck{*this, m_host, m_timings};
    // Set from the moment a change is sent for the controller to take (enable setting, a
    // bank clear) until it is known to have been taken: a line lost in between may have
    // left the controller with the change, and the user has to hear so.
    bool m_changeSent = false;
    std::atomic<bool> m_settingOpen{false};
    std::atomic<bool> m_suspended{false};
    std::atomic<bool> m_connecting{false};
    std::atomic<bool> m_trace{false};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ended{false};
};

}  // namespace qavix
