#include "app/CQavixApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QThread>
#include <ctime>
#include <iostream>

#include "PortResolver.h"
#include "ProgramVersion.h"
#include "Translate.h"
#include "app/CInitialReadDlg.h"
#include "app/CSplashDlg.h"
#include "app/InitialRead.h"
#include "app/OfflineEditLaunch.h"
#include "app/SingleInstance.h"
#include "comm/LinkLibrary.h"
#include "comm/PortChoices.h"
#include "files/CommandLine.h"
#include "files/Fingerprint.h"
#include "files/RecoveryFiles.h"
#include "frame/CBankManager.h"
#include "frame/CDebugView.h"
#include "frame/CLeftPaneView.h"
#include "frame/CMainFrame.h"
#include "frame/CProgressDlg.h"
#include "frame/CRightPaneFrame.h"
#include "frame/JournalWindow.h"
#include "frame/PageViews.h"
#include "journal/JournalSettings.h"
#include "pages/PageRegistry.h"
#include "state/UiText.h"
#include "widgets/CColorStatusBar.h"

static void initQavixResources() {
    Q_INIT_RESOURCE(qavix);
}

namespace qavix {

namespace {

constexpr const char* kSettingsFileName = "Qavix.ini";
constexpr int kExitFailure = 1;

}  // namespace

void CQavixApp::initResources() {
    initQavixResources();
}

CQavixApp::CQavixApp(AppOptions options, QObject* parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_state(std::make_unique<AppState>(m_model)),
      m_host(std::make_unique<QtCommHost>()) {
    initResources();
    QObject::connect(m_host.get(), &QtCommHost::endRequested, this, &CQavixApp::onEndRequested);
    m_host->setCommSettingsRunner([this] { runCommSettingsDialog(); });
}

CQavixApp::~CQavixApp() {
    shutdown();
    delete m_frame;
}

StatusInputs CQavixApp::statusInputs() const {
    StatusInputs in;
    in.port = m_ports.activePort;
    // The link's own: a controller opened from the plant window has the unit its monitor
    // names, which Qavix.ini does not hold.
    in.unit = m_link ? m_link->settings().unit : m_ports.activeMachine;
    in.baudIndex = m_ports.active().baudIndex;
    in.portPresent = m_present[static_cast<size_t>(m_ports.activePort)];
    in.portTarget = m_portTarget;
    if (m_link) {
        in.unitConnected = m_link->unitConnected(in.unit);
        in.statusText = m_link->statusText();
    }
    if (m_edited) {
        in.editedFile =
            QFileInfo(QString::fromStdString(m_edited->path())).fileName().toStdString();
    }
    if (m_state->dataReady) {
        if (const std::optional<SettingsData> current = knownSettings(currentValues(m_model))) {
            in.fingerprint = settingsFingerprint(*current).shortForm();
        }
    }
    return in;
}

void CQavixApp::loadSettings() {
    m_workingDirectory =
        m_options.workingDirectory.isEmpty() ? QDir::currentPath() : m_options.workingDirectory;
    const QString path = QDir(m_workingDirectory).filePath(kSettingsFileName);
    m_settings.loadFrom(path.toStdString());
    m_state->user = AppSettings::load(m_settings);
    m_ports = PortSettings::load(m_settings);
}

void CQavixApp::startSplash() {
    if (m_state->user.splash == 0) {
        m_state->splashShown = false;
        return;
    }
    m_state->splashShown = true;
    m_splash = new CSplashDlg(m_state->user.splashTime);
    m_splash->start();
}

bool CQavixApp::start() {
    const CommandLineSwitches switches = parseCommandLineSwitches(m_options.arguments);
    // An offline editor holds no port, so it may run beside the program on a controller.
    if (m_options.singleInstance && switches.editFile.empty()) {
        const QString name = m_options.instanceName.isEmpty() ? SingleInstance::defaultName()
                                                              : m_options.instanceName;
        m_instance = std::make_unique<SingleInstance>(name);
        if (!m_instance->claim()) {
            return false;
        }
        QObject::connect(m_instance.get(), &SingleInstance::raiseRequested, this,
                         &CQavixApp::raiseMainWindow);
    }
    loadSettings();
    m_state->extendedMode = switches.extended;
    m_state->debugMode = switches.debug;
    if (switches.editWithoutFile) {
        std::cerr << "qavix: --edit needs a bank file (qavix --edit FILE.qbk)\n";
        m_exitCode = kExitFailure;
        return false;
    }
    if (!switches.editFile.empty() && !openEditedFile(switches.editFile)) {
        m_exitCode = kExitFailure;
        return false;
    }
    m_plantStart = switches.plant;
    // A plant PC watches first: no port is opened, and so nothing waits for a splash.
    if (!m_plantStart) {
        startSplash();
    }

    if (!connectController() || endingNow()) {
        return false;
    }
    createFrame();
    if (endingNow()) {
        return false;
    }
    m_state->setCommBusy(false);
    m_state->setContinuousMonitoring(false);
    m_state->editInProgress = false;
    if (m_plantStart) {
        m_frame->plant().open(QString::fromStdString(switches.plantUrl));
    }
    return true;
}

bool CQavixApp::openEditedFile(const std::string& path) {
    m_edited = openOfflineEdit(path, m_ports);
    m_state->offlineEditing = m_edited.has_value();
    return m_edited.has_value();
}

void CQavixApp::findPorts() {
    m_present = enumeratePorts(m_settings.path());
    m_state->anyComPort = anyPortPresent(m_present);
    const auto target =
        link::resolvePort("COM" + std::to_string(m_ports.activePort + 1), m_settings.path());
    m_portTarget = !target               ? std::string()
                   : target->emulator    ? std::string(i18n::translate(kEmulatorLabel))
                   : target->onNetwork() ? target->value
                                         : deviceLabel(target->device);
}

bool CQavixApp::connectController() {
    // No message of its own for a machine without ports: the open that follows fails with
    // the port and the reason, said once in the question that comes after it.
    findPorts();
    m_link = std::make_unique<CCommLink>(*m_host, m_model, m_options.commTimings);
    startJournal();
    if (!m_link->start(m_options.libraryPath.toStdString())) {
        QMessageBox::critical(nullptr, "Qavix", coreText(kLinkLoadFailedMessage));
        m_exitCode = kExitFailure;
        return false;
    }
    m_transactions = std::make_unique<Transactions>(*m_link, m_model);
    m_banks = std::make_unique<CBankManager>(m_model, *m_transactions);
    m_model.resetForNewConnection();
    m_link->setSettings(makeLinkSettings(m_ports));
    m_link->setTraceEnabled(m_state->debugMode);
    // Unwritten bank edits saved on a lost connection go where Qavix.ini is, else to the
    // user's data folder.
    m_link->setRecoveryWriter([folder = m_workingDirectory.toStdString()](const DeviceModel& m) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return saveRecoveryFiles(m, recoveryFolders(folder), local);
    });

    m_link->setConnecting(true);
    if (m_plantStart) {
        // As after a port that would not open: the frame without a controller, until one
        // is opened from the plant window.
        return true;
    }
    if (m_link->open() != kRequestOk) {
        return !endingNow();
    }
    m_link->setConnecting(false);
    m_link->checkStatus();
    if (endingNow()) {
        return false;
    }
    m_connected = true;
    m_state->dataReady = runInitialRead();
    return !endingNow();
}

bool CQavixApp::runInitialRead(QWidget* parent) {
    const int delay =
        CInitialReadDlg::startDelay(m_state->user.splash != 0, m_state->commSettingsUsed,
                                    m_options.timings.splashWaitMs, m_options.timings.readDelayMs);
    const InitialReadOutcome outcome =
        runInitialReadWindow(*m_transactions, *m_host, {delay, m_options.timings.blinkMs}, parent,
                             [this] { return m_ending; });
    m_initialProgress = outcome.progress;
    return outcome.succeeded;
}

void CQavixApp::createFrame() {
    FrameServices services{*m_state,
                           m_settings,
                           *m_banks,
                           [this] { return statusInputs(); },
                           m_workingDirectory,
                           m_state->user.splash != 0,
                           m_options.timings.blinkMs};
    m_frame = new CMainFrame(services);
    m_frame->setConnectionHooks(ConnectionHooks{[this] { m_link->communicationSettings(); },
                                                [this] { return reconnect(); }});
    m_frame->plant().setOpener([this](const plant::Reach& reach) { return openFromPlant(reach); });
    m_frame->setJournalOpener([this] { openJournalWindow(); });
    m_host->setDialogParent(m_frame);
    if (!m_settings.problem().empty()) {
        // Said once, where the program reports what it is doing: the defaults are in use.
        // A narrow window cuts the message, never the panes beside it; the tip holds it all.
        const QString said = QString::fromStdString(m_settings.problemText());
        QLabel* line = m_frame->colorStatusBar()->pane(0);
        line->setText(said);
        line->setToolTip(said);
        line->setMinimumWidth(1);
    }
    if (m_edited) {
        m_frame->setOfflineEditing(offlineEditingOf(*m_edited, m_model));
    }
    if (m_state->debugMode) {
        CDebugView* view = m_frame->debugView();
        m_host->setTraceSink([view](const std::string& sent, const std::string& received) {
            view->recordExchange(sent, received);
        });
    }
    observeTransactionsInFrame();
    installPageViews(*m_frame->rightPane()->splitterView(), pageContext());
    m_frame->updateStatusPane(1);
    m_frame->updateStatusPane(2);
    m_frame->updateStatusPane(3);
    m_frame->showWithCommand(m_state->user.show);
}

void CQavixApp::observeTransactionsInFrame() {
    m_transactions->setObserver(
        TransactionObserver{[this](bool writing) {
                                m_state->setCommBusy(true);
                                lockFrame(writing);
                            },
                            [this] {
                                unlockFrame();
                                m_state->setCommBusy(false);
                            },
                            [this](int done, int total) {
                                if (m_frame && m_frame->progressDialog() != nullptr) {
                                    m_frame->progressDialog()->setProgress(done, total);
                                }
                            }});
}

void CQavixApp::lockFrame(bool writing) {
    if (m_frame) {
        m_frame->lockMenu(writing ? CMainFrame::kLockWriting : CMainFrame::kLockReading);
    }
}

void CQavixApp::unlockFrame() {
    if (m_frame) {
        m_frame->lockMenu(CMainFrame::kUnlock);
    }
}

void CQavixApp::runCommSettingsDialog() {
    if (!m_link) {
        return;
    }
    CommDialogContext context{m_ports,
                              m_present,
                              *m_link,
                              m_settings,
                              *m_state,
                              [this] {
                                  // Nothing more is asked from here on; the worker gets
                                  // Cancel to any question still coming.
                                  m_host->beginShutdown();
                                  m_host->endProgram();
                              },
                              m_options.commDialogTimings};
    QWidget* parent = m_frame ? static_cast<QWidget*>(m_frame) : nullptr;
    m_state->settingsDialogOpen = true;
    {
        CommSettingsDialog dialog(context, parent);
        dialog.exec();
    }
    m_state->settingsDialogOpen = false;
    m_link->setSettings(makeLinkSettings(m_ports));
    // A port may have been mapped to a device or to the emulator.
    findPorts();
}

bool CQavixApp::reconnect() {
    // As at start-up: while the other controller is opened and read, the frame takes
    // neither clicks nor commands, and the read runs under its wait window (the frame's own
    // stays away: one is enough).
    m_state->setCommBusy(true);
    m_link->setBusy(true);  // clicks meanwhile are dropped, not kept for later
    if (m_frame) {
        m_frame->lockMenuUnderOwnWindow();
    }
    m_link->setSettings(makeLinkSettings(m_ports));
    bool read = false;
    if (m_link->open() == kRequestOk && m_link->checkStatus() == kRequestOk && !endingNow()) {
        m_model.resetForNewConnection();
        m_state->dataReady = runInitialRead(m_frame);
        observeTransactionsInFrame();
        read = m_state->dataReady;
    }
    unlockFrame();
    m_link->setBusy(false);
    m_state->setCommBusy(false);
    return read && !endingNow();
}

PlantOpenOutcome CQavixApp::openFromPlant(const plant::Reach& reach) {
    if (m_edited) {
        return {false, false, tr("バンクファイルの編集中は、ほかのコントローラを開けません。")};
    }
    if (m_state->commBusy() || m_state->continuousMonitoring() || m_state->editInProgress) {
        return {false, false,
                tr("通信中、モニタ中、または編集中です。終わってから、もう一度開いてください。")};
    }
    const auto port = link::comPortNumber(reach.portName);
    LinkSettings settings = makeLinkSettings(
        m_ports, port && *port <= kPortCount ? *port - 1 : m_ports.activePort, reach.unit);
    // The target as the monitor's status names it, for this run only: Qavix.ini's ports
    // stay as they are.
    settings.portName = reach.target;
    m_state->setCommBusy(true);
    m_link->setBusy(true);
    if (m_frame) {
        m_frame->lockMenuUnderOwnWindow();
    }
    const LinkSettings previous = m_link->settings();
    const bool wasConnected = m_connected;
    m_link->setSettings(settings);
    // A controller that cannot be opened or does not answer is said, not the end of the
    // program: the controller shown before is opened again.
    m_link->setConnecting(true);
    PlantOpenOutcome outcome;
    if (m_link->open() != kRequestOk) {
        outcome.busy = m_link->openFoundBusy();
        outcome.message = QString::fromStdString(m_link->openProblem());
    } else if (m_link->checkStatus() != kRequestOk || endingNow()) {
        outcome.message = tr("コントローラが応答しません。");
    } else {
        m_link->setConnecting(false);
        m_connected = true;
        m_portTarget = reach.target;
        m_model.resetForNewConnection();
        m_state->dataReady = runInitialRead(m_frame);
        observeTransactionsInFrame();
        outcome.opened = m_state->dataReady;
    }
    if (!outcome.opened && (outcome.busy || !outcome.message.isEmpty())) {
        m_link->setSettings(previous);
        m_connected = wasConnected && m_link->open() == kRequestOk &&
                      m_link->checkStatus() == kRequestOk && !endingNow();
        m_link->setConnecting(!m_connected);
    }
    unlockFrame();
    m_link->setBusy(false);
    m_state->setCommBusy(false);
    return outcome;
}

void CQavixApp::startJournal() {
    if (m_edited) {
        return;
    }
    m_journal = std::make_unique<WriteJournal>(journalFolder(m_state->user.journal.folder),
                                               writeSource("qavix", programVersion()));
    m_journal->setReasonAsker([this](journal::Operation operation, const std::string& detail) {
        return askWriteReason(operation, detail);
    });
    m_link->setJournal(m_journal.get());
}

std::optional<std::string> CQavixApp::askWriteReason(journal::Operation operation,
                                                     const std::string& detail) {
    // A reset the status check makes comes from the connection's thread, which shows no
    // window; it is recorded without a reason.
    if (!m_state->user.journal.askReason || QThread::currentThread() != thread()) {
        return std::string();
    }
    const QString what = journalOperationText(operation, detail, nav::pageTitles());
    bool ok = false;
    const QString reason = QInputDialog::getText(
        m_frame, tr("変更の理由"),
        tr("%1\nこの変更の理由を入力して下さい（変更履歴に記録されます）。").arg(what),
        QLineEdit::Normal, QString(), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return reason.toStdString();
}

void CQavixApp::openJournalWindow() {
    if (!m_journal) {
        return;
    }
    // The serial number names the controller for good; the initial read leaves it out.
    if (m_connected && currentValues(m_model).general.serialText.empty()) {
        readIdentityForJournal(*m_link);
    }
    const fleet::ControllerIdentity identity = fleet::identityOf(currentValues(m_model));
    journal::JournalFilter filter;
    if (!identity.serial.empty()) {
        filter.serial = identity.serial;
    } else {
        filter.controllerId = identity.id;
    }
    JournalWindow window(m_journal->folder(), filter, m_frame);
    window.exec();
}

PageContext CQavixApp::pageContext() {
    return PageContext{
        *m_state,
        *m_link,
        *m_host,
        std::make_shared<PageRegistry>(),
        [this](bool writing) { lockFrame(writing); },
        [this] { unlockFrame(); },
        [this](bool allowed) {
            if (m_frame) {
                m_frame->setCommandsAllowed(allowed);
            }
        },
        [this] { return m_state->user.interval; },
        nullptr,
        [this](int pageIndex) {
            if (m_frame) {
                m_frame->tree()->closeBeamPage(pageIndex);
            }
        },
    };
}

int CQavixApp::run() {
    if (!start()) {
        shutdown();
        restartIfAsked();
        return m_exitCode;
    }
    m_loopRunning = true;
    const int code = QApplication::exec();
    m_loopRunning = false;
    shutdown();
    restartIfAsked();
    return m_exitCode != 0 ? m_exitCode : code;
}

bool CQavixApp::restartIfAsked() {
    if (!m_host->restartRequested() || m_restarted) {
        return false;
    }
    m_restarted = true;
    // Only now: the settings are saved and this instance no longer holds the single-
    // instance lock, which the new one would otherwise find and give way to.
    QStringList args;
    for (const std::string& a : m_options.arguments) {
        args << QString::fromStdString(a);
    }
    const QString program = QCoreApplication::applicationFilePath();
    if (m_options.restart) {
        return m_options.restart(program, args, m_workingDirectory);
    }
    return QProcess::startDetached(program, args, m_workingDirectory);
}

bool CQavixApp::endingNow() {
    // The worker's request to end is queued to this thread; start-up must not go on with
    // the next step before it has been seen.
    if (!m_ending && m_link && m_link->programEnding()) {
        onEndRequested();
    }
    return m_ending;
}

void CQavixApp::onEndRequested() {
    if (m_ending) {
        return;
    }
    // The user has read why; nothing more is shown. Close the windows, then the loop.
    m_ending = true;
    m_host->beginShutdown();
    if (m_splash) {
        m_splash->close();
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog != nullptr && dialog->isVisible()) {
            dialog->done(QDialog::Rejected);
        }
    }
    if (m_frame) {
        m_frame->closeForEnd();
    }
    emit ended();
    if (m_loopRunning) {
        QApplication::quit();
    }
}

void CQavixApp::raiseMainWindow() {
    if (!m_frame) {
        return;
    }
    if (m_frame->isMinimized()) {
        m_frame->showNormal();
    }
    m_frame->raise();
    m_frame->activateWindow();
    if (QWidget* popup = QApplication::activeModalWidget()) {
        popup->raise();
        popup->activateWindow();
    }
}

void CQavixApp::shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_host->beginShutdown();
    if (m_frame && m_frame->isVisible()) {
        m_frame->closeForEnd();
    }
    if (m_link) {
        m_link->end();
    }
    m_settings.setInt(PortSettings::kMainSection, "ActivePort", m_ports.activePort);
    m_settings.setInt(PortSettings::kMainSection, "ActiveMachine", m_ports.activeMachine);
    m_settings.save();
    if (m_splash) {
        m_splash->close();
    }
    m_instance.reset();
}

}  // namespace qavix
