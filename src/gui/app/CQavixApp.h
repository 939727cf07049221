#pragma once
// The application object: owns the device data, the settings, the run flags, the
// connection and the main frame, and runs start-up and shutdown in their order.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "app/CommSettingsDialog.h"
#include "app/QtCommHost.h"
#include "app/StartupTimings.h"
#include "comm/CCommLink.h"
#include "comm/PortEnumeration.h"
#include "comm/Transactions.h"
#include "comm/WriteJournal.h"
#include "files/AppSettings.h"
#include "files/OfflineEditFile.h"
#include "files/PortSettings.h"
#include "files/SettingsFile.h"
#include "frame/CMainFrame.h"
#include "frame/StatusPanes.h"
#include "pages/PageContext.h"
#include "state/AppState.h"

namespace qavix {

class CBankManager;
class CSplashDlg;
class SingleInstance;

struct AppOptions {
    QString workingDirectory;  // empty: the process's working directory
    QString libraryPath;       // empty: libqavlink.so beside the program or $QAVLINK_LIBRARY
    QString instanceName;      // empty: named after the executable and the user
    bool singleInstance = true;
    StartupTimings timings;
    CommDialogTimings commDialogTimings;
    CommTimings commTimings;
    std::vector<std::string> arguments;  // after the program name
    // Starts the program again ("再接続" after a lost connection): program, arguments,
    // working folder. Empty: a detached process of this executable.
    std::function<bool(const QString&, const QStringList&, const QString&)> restart;
};

class CQavixApp : public QObject {
    Q_OBJECT
  public:
    explicit CQavixApp(AppOptions options, QObject* parent = nullptr);
    ~CQavixApp() override;

    // Start-up up to the shown main window. False: the program ends now (another instance
    // runs, the library cannot be loaded, or the connection ended the program); exitCode()
    // says with what.
    bool start();
    // start(), the event loop, and shutdown.
    int run();
    // Ends the connection and writes the settings file; safe to call twice.
    void shutdown();
    // After shutdown: starts the program again when the user chose "再接続". True when a
    // new process was started.
    bool restartIfAsked();
    int exitCode() const { return m_exitCode; }
    const PortSettings& portSettings() const { return m_ports; }
    const PresentPorts& presentPorts() const { return m_present; }
    // Where the initial read's progress bar stood when it closed: value and maximum.
    std::pair<int, int> initialReadProgress() const { return m_initialProgress; }

    AppState& state() { return *m_state; }
    DeviceModel& model() { return m_model; }
    SettingsFile& settings() { return m_settings; }
    CMainFrame* mainFrame() const { return m_frame; }
    CCommLink* link() const { return m_link.get(); }
    // The bank file edited offline, when started with --edit.
    const OfflineEditFile* editedFile() const { return m_edited ? &*m_edited : nullptr; }
    QtCommHost& host() { return *m_host; }
    bool ending() const { return m_ending; }
    bool connected() const { return m_connected; }
    StatusInputs statusInputs() const;

    static void initResources();

  signals:
    void ended();

  private:
    void loadSettings();
    void startSplash();
    // `qavix --edit FILE`: the file checked as an import checks it, and the active port
    // turned into the built-in emulator started on it. False: refused, after its message.
    bool openEditedFile(const std::string& path);
    bool connectController();
    // Which ports exist and where the active one leads, for the status bar.
    void findPorts();
    // The read of everything and of the banks under the initial read's wait window, over
    // `parent` (none at start-up). True when both reads succeeded.
    bool runInitialRead(QWidget* parent = nullptr);
    // The frame's wait window and greyed menus follow the bank and write transactions.
    void observeTransactionsInFrame();
    // The frame's wait window and greyed menus, while it exists.
    void lockFrame(bool writing);
    void unlockFrame();
    void createFrame();
    // What the setting pages get from the program.
    PageContext pageContext();
    // The change journal of the program's writes, asking for their reason when the
    // environment settings say so. Not while a bank file is edited: no controller is written.
    void startJournal();
    std::optional<std::string> askWriteReason(journal::Operation operation,
                                              const std::string& detail);
    // "変更履歴": the journal's writes to the connected controller.
    void openJournalWindow();
    void onEndRequested();
    bool endingNow();
    void raiseMainWindow();

    // The communication settings dialog, run by the connection with polling held.
    void runCommSettingsDialog();
    // After a change of port or unit: opens the link again and reads everything anew.
    bool reconnect();
    // A controller of the plant window: its port target and unit opened for this run and
    // read into the main window; says why when it cannot be.
    PlantOpenOutcome openFromPlant(const plant::Reach& reach);

    AppOptions m_options;
    DeviceModel m_model;
    std::unique_ptr<AppState> m_state;
    SettingsFile m_settings;
    PortSettings m_ports;
    PresentPorts m_present{};
    std::string m_portTarget;
    std::pair<int, int> m_initialProgress{0, 0};
    bool m_restarted = false;
    std::unique_ptr<QtCommHost> m_host;
    // Outlives the link, which records every write in it.
    std::unique_ptr<WriteJournal> m_journal;
    std::unique_ptr<CCommLink> m_link;
    std::unique_ptr<Transactions> m_transactions;
    std::unique_ptr<CBankManager> m_banks;
    std::unique_ptr<SingleInstance> m_instance;
    QPointer<CSplashDlg> m_splash;
    QPointer<CMainFrame> m_frame;
    QString m_workingDirectory;
    std::optional<OfflineEditFile> m_edited;
    bool m_ending = false;
    bool m_loopRunning = false;
    bool m_connected = false;
    bool m_shutDown = false;
    bool m_plantStart = false;  // qavix --plant: the plant window instead of a first connection
    int m_exitCode = 0;
};

}  // namespace qavix
