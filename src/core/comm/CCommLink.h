#pragma once
// The user-interface side of the connection: hands one request at a time to the worker,
// waits for it while the host keeps the window alive, and brings the answer into the
// device data. Requests that concern a bank being edited offline never reach the worker.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comm/CCommThread.h"
#include "comm/CommHost.h"
#include "comm/CommTimings.h"
#include "comm/LinkLibrary.h"
#include "comm/RequestBlock.h"
#include "comm/WriteJournal.h"
#include "model/DeviceModel.h"

namespace qavix {

// Whether a link shares the library's one connection with every other user in the process
// (the desktop program: its port test and scan monitor call the library directly) or asks
// for one of its own, so that several links talk to several lines at once.
enum class LinkConnection { Shared, Own };

class CCommLink {
  public:
    // Saves what would be lost when the program ends now; says what was saved where and what
    // could not be. The default saves banks with unwritten edits into the working
    // directory, else into the user's data folder.
    using RecoveryWriter = std::function<RecoverySave(const DeviceModel&)>;

    CCommLink(CommHost& host, DeviceModel& model, const CommTimings& timings = CommTimings{});
    ~CCommLink();
    CCommLink(const CCommLink&) = delete;
    CCommLink& operator=(const CCommLink&) = delete;

    // Loads the link library and starts the worker. False: the library is missing or
    // refused (libraryError() says why); the caller shows kLinkLoadFailedMessage and ends.
    // With LinkConnection::Own also false when the library has no connections to give;
    // every call then goes through the worker, which alone is bound to that connection.
    bool start(const std::string& libraryPath = std::string(),
               LinkConnection connection = LinkConnection::Shared);
    // Ends the connection: the worker stops and the library is terminated and unloaded.
    void end();
    const std::string& libraryError() const { return m_library.error(); }

    void setSettings(const LinkSettings& settings) { m_worker->setSettings(settings); }
    LinkSettings settings() const { return m_worker->settings(); }
    void setRecoveryWriter(RecoveryWriter writer) { m_recovery = std::move(writer); }
    // The change journal every write of this link is recorded in (not owned). With one, a
    // request that changes a setting goes out only inside a JournaledWrite; without one
    // (tests of the connection itself) writes are not recorded. Set before start().
    void setJournal(WriteJournal* journal);
    WriteJournal* journal() const { return m_journal; }
    void setTraceEnabled(bool on) { m_worker->setTraceEnabled(on); }
    void setConnecting(bool on) { m_worker->setConnecting(on); }
    // The communication-busy flag: while set, the wait lets input through differently.
    void setBusy(bool on) { m_busy = on; }
    bool busy() const { return m_busy; }

    // Posts a request and waits for it. Returns kRequestOk or kRequestFailed; `r.reply`
    // holds the reply text. A request that did not reach the controller because the
    // connection is lost is a failure, so no caller reports undone work as done.
    int request(RequestBlock& r);
    int request(int code, int arg1 = 0, int start = 0, int count = 0,
                int timeoutMs = kRequestTimeoutMs, int arg5 = 0, int arg6 = 0,
                const std::string& text = std::string());

    int open();
    int checkStatus();
    int suspendPolling();
    int resumePolling();
    // Runs the communication settings dialog with polling held, as the menu command does.
    int communicationSettings();

    // Resets the controller out of a setting mode that a write given up half-way (cancelled
    // or failed) left open; what was put is discarded. Succeeds at once when none is open.
    int leaveSettingMode();

    bool lastRequestLostConnection() const { return m_lastLost; }
    // The last request was not sent because the host's operation was cancelled.
    bool lastRequestCancelled() const { return m_lastCancelled; }
    // What the controller answered to the last request when the program could not take the
    // answer apart (the data stays as it was), for the message; empty otherwise.
    const std::string& lastUnreadableReply() const { return m_unreadableReply; }
    bool programEnding() const { return m_worker->ended(); }
    std::string statusText() const { return m_worker->statusText(); }
    // Why the last open failed, and whether another program holds the port.
    std::string openProblem() const { return m_worker->openProblem(); }
    bool openFoundBusy() const { return m_worker->openFoundBusy(); }
    bool unitConnected(int unit) const { return m_worker->unitConnected(unit); }
    void setUnitConnected(int unit, bool on) { m_worker->setUnitConnected(unit, on); }
    const LinkApi& api() const { return m_library.api(); }
    CCommThread& worker() { return *m_worker; }
    DeviceModel& model() { return m_model; }
    CommHost& host() { return m_host; }

  private:
    int post(RequestBlock& r);
    bool decodeAnswer(const RequestBlock& r);
    std::string onConnectionLost(const LostConnection& lost);
    void installResetHook();

    CommHost& m_host;
    DeviceModel& m_model;
    CommTimings m_timings;
    LinkLibrary m_library;
    std::unique_ptr<CCommThread> m_worker;
    RecoveryWriter m_recovery;
    WriteJournal* m_journal = nullptr;
    std::atomic<bool> m_busy{false};
    bool m_lastLost = false;
    int m_connection = 0;  // the library's number of an own connection; 0 the shared one
    bool m_lastCancelled = false;
    std::string m_unreadableReply;
};

// Mapping of the worker's result for callers; only Open keeps a lost connection as "done",
// because start-up goes on to the status check that asks the user what to do.
int mapWorkerResult(int code, int workerResult);

}  // namespace qavix
