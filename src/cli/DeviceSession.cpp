#include "DeviceSession.h"

#include <stdlib.h>

#include <iostream>

#include "ExitCodes.h"
#include "IniText.h"
#include "PortSelection.h"
#include "ProgramVersion.h"
#include "comm/LinkLibrary.h"
#include "journal/JournalSettings.h"

namespace qavix::cli {

namespace {

std::string journalFolderFor(const DeviceOptions& options, const SessionSetup& setup) {
    if (options.journalFolder.empty() && !setup.journalFolder.empty()) {
        return journalFolder(setup.journalFolder);
    }
    return selectJournalFolder(kSettingsFileName, options);
}

}  // namespace

DeviceSession::DeviceSession(const DeviceOptions& options, SessionSetup setup)
    : m_host(options.yes, setup.keepMessages, !setup.ownConnection),
      m_options(options),
      m_setup(std::move(setup)),
      m_journal(journalFolderFor(m_options, m_setup),
                writeSource("qavixctl", programVersion())),
      m_link(m_host, m_model),
      m_transactions(m_link, m_model) {
    m_journal.setReason(m_options.reason);
    m_link.setJournal(&m_journal);
    // Sessions that run side by side (a plant's) are stopped by whoever runs them, which
    // takes the signals itself; only a command's own session makes them its cancel.
    if (!m_setup.ownConnection) {
        m_signals.emplace();
    }
}

int DeviceSession::connect() {
    LinkSettings settings;
    if (m_setup.link) {
        settings = *m_setup.link;
    } else {
        const PortSelection selection = selectPort(kSettingsFileName, m_options);
        reportUnreadableSettings(selection);
        settings = selection.link;
        if (!selection.networkTarget.empty()) {
            // The target stands in for the active port in this process only, as QAVLINK_COMn
            // would: the library, and the messages about it, resolve the port to it alike.
            const std::string variable =
                "QAVLINK_COM" + std::to_string(selection.link.activePort + 1);
            ::setenv(variable.c_str(), selection.networkTarget.c_str(), 1);
        }
    }
    const LinkConnection connection =
        m_setup.ownConnection ? LinkConnection::Own : LinkConnection::Shared;
    if (!m_link.start(std::string(), connection)) {
        m_host.showMessage(std::string(i18n::translate(kLinkLoadFailedMessage)) + "\n(" + m_link.libraryError() +
                           ")");
        return kExitConnection;
    }
    // Nothing of a backup or a check needs saving when its line is lost, and a session
    // among several must not write into the working directory.
    if (m_setup.keepMessages) {
        m_link.setRecoveryWriter([](const DeviceModel&) { return RecoverySave{}; });
    }
    // The worker runs with the signals held off; from here this thread takes them.
    if (m_signals) {
        m_signals->listen();
    }
    if (m_host.cancelRequested()) {
        return interruptedExit();
    }
    m_link.setSettings(settings);
    // An Open that fails is no error of its own: the status check that follows finds no
    // answer and asks, as at start-up, whether to set up the communication (here: never).
    m_link.setConnecting(true);
    m_link.open();
    m_link.setConnecting(false);
    // Ctrl+C while the port opened: the attempt in flight ended at its own time-out and no
    // further one was made; whatever it found is moot.
    if (m_host.cancelRequested()) {
        return interruptedExit();
    }
    // A port that could not be opened (busy, forbidden, unplugged) says so; the status
    // check would only call it a cut line.
    if (const std::string problem = m_link.worker().openProblem(); !problem.empty()) {
        m_host.showMessage(problem);
        return kExitConnection;
    }
    if (m_link.checkStatus() != kRequestOk) {
        // Also when Ctrl+C came while the status was asked for: a line that stays silent
        // after it is no lost connection of the user's concern.
        return m_host.cancelRequested() ? interruptedExit() : kExitConnection;
    }
    // Ctrl+C during the connection is answered as soon as its request is done.
    return m_host.cancelRequested() ? interruptedExit() : kExitOk;
}

int DeviceSession::failureExit() {
    if (m_link.lastRequestCancelled()) {
        return interruptedExit();
    }
    if (m_host.programEnded() || m_link.programEnding() || m_link.lastRequestLostConnection()) {
        return kExitConnection;
    }
    if (m_journal.lastRefused()) {
        return kExitFileError;
    }
    if (!m_link.lastUnreadableReply().empty()) {
        // Nothing else says it: the controller answered, but not in a form the program reads.
        m_host.showMessage("the controller's answer is not one the program can read (" +
                           ini::printable(m_link.lastUnreadableReply()) + ")");
    }
    return kExitFailed;
}

int DeviceSession::exitFor(int requestResult) {
    return requestResult == kRequestOk ? kExitOk : failureExit();
}

int DeviceSession::interruptedExit(const std::string& what) {
    std::string text = what;
    if (m_link.worker().settingOpen()) {
        // A write given up half-way: without EnableSetting the reset discards its puts, so
        // the controller keeps the settings it had and answers normally again.
        text += m_link.leaveSettingMode() == kRequestOk
                    ? "; the controller was reset out of setting mode and keeps its previous "
                      "settings (nothing of this write was taken)"
                    : "; the controller could not be reset out of setting mode (answer its "
                      "question with --yes on the next command, or power it off and on)";
    }
    m_host.showMessage(text);
    return kExitInterrupted;
}

}  // namespace qavix::cli
