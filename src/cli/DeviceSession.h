#pragma once
// One connection to the controller for one device command: the host, the device data, the
// link with its worker and the sequences, set up the way the program connects at start-up.

#include <optional>
#include "CliCommHost.h"

#include "DeviceOptions.h"
#include "StopSignals.h"
#include "comm/CCommLink.h"
#include "comm/LinkSettings.h"
#include "comm/Transactions.h"
#include "model/DeviceModel.h"

namespace qavix::cli {

// How a session reaches its controller when it is not the one of Qavix.ini and the options.
struct SessionSetup {
    // The controller to talk to (a plant's), instead of Qavix.ini with --port and --unit.
    std::optional<LinkSettings> link;
    // A library connection of its own, for sessions that run side by side.
    bool ownConnection = false;
    // Messages are kept (host().keptMessages()) instead of printed.
    bool keepMessages = false;
    // The change journal's folder of a plant file ([Journal] Folder), taken unless --journal
    // names one; empty: Qavix.ini's, else the default.
    std::string journalFolder;
};

class DeviceSession {
  public:
    explicit DeviceSession(const DeviceOptions& options, SessionSetup setup = {});
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Loads the link library, opens the port of Qavix.ini (or --port, --unit) and checks the
    // controller's status. Returns kExitOk, or the exit code of the failure after its message.
    int connect();

    // The exit code of a request or sequence that did not succeed: one not sent because of
    // Ctrl+C ends as interruptedExit does, a lost connection (or the end it forced) is 3, a
    // write the change journal could not record is 2, anything else (refused, verification
    // failed) is 1.
    int failureExit();

    // Runs `result` of a request or sequence through failureExit when it is not a success.
    int exitFor(int requestResult);

    // Ends a command that Ctrl+C or SIGTERM interrupted: a setting mode that a write left
    // open is reset (what was put is discarded), `what` and the outcome of the reset are
    // printed, and the result is kExitInterrupted.
    int interruptedExit(const std::string& what = "interrupted");

    CCommLink& link() { return m_link; }
    DeviceModel& model() { return m_model; }
    Transactions& transactions() { return m_transactions; }
    CliCommHost& host() { return m_host; }
    WriteJournal& journal() { return m_journal; }

  private:
    // First, so that it exists before the link's threads start and after they end; empty
    // for a session with a connection of its own (see the constructor).
    std::optional<StopSignals> m_signals;
    CliCommHost m_host;
    DeviceModel m_model;
    DeviceOptions m_options;
    SessionSetup m_setup;
    // Before the link, which records into it until its worker has ended.
    WriteJournal m_journal;
    CCommLink m_link;
    Transactions m_transactions;
};

}  // namespace qavix::cli
