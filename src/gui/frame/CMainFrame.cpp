#include "frame/CMainFrame.h"

#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>

#include "frame/CBankDialogBar.h"
#include "frame/CBankManager.h"
#include "frame/CInfoDialogBar.h"
#include "frame/CLeftPaneView.h"
#include "frame/CProgressDlg.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CToolDialogBar.h"
#include "frame/ClientPanes.h"
#include "frame/CommandIds.h"
#include "frame/CommandMenus.h"
#include "frame/EnvironmentDialog.h"
#include "frame/FramePlacement.h"
#include "frame/StatusPaneView.h"
#include "pages/PrintTarget.h"
#include "widgets/CColorStatusBar.h"
#include "widgets/CPictureButton.h"
#include "widgets/LabelledComboAccessible.h"
#include "widgets/ShownOnlyAccessible.h"

namespace qavix {

namespace {

constexpr int kIdleRefreshMs = 200;

void toggle(QWidget* w) {
    w->setVisible(w->isHidden());
}

}  // namespace

CMainFrame::CMainFrame(const FrameServices& s, QWidget* parent)
    : QMainWindow(parent),
      m_state(s.state),
      m_settings(s.settings),
      m_banks(s.banks),
      m_statusInputs(s.status),
      m_workingDirectory(s.workingDirectory),
      m_blinkMs(s.blinkMs),
      m_reconnection(s.state, s.banks, s.status),
      m_offline(*this, s.state, s.banks),
      m_plant(s.state, s.banks, s.settings, this) {
    // Before any window part exists: the descriptions Qt makes for screen readers are kept.
    installShownOnlyAccessibility();
    installLabelledComboAccessibility();
    setObjectName("CMainFrame");
    setWindowTitle("Qavix");
    setMinimumSize(kFrameMinWidth, kFrameMinHeight);
    m_ctx.anyComPort = m_state.anyComPort;

    createStatusBar();
    createMenus();
    createBars();
    restoreBars(*this, bars(), m_settings);
    createClient();
    m_banks.setDialogParent(this);
    m_banks.setAppState(&m_state);
    m_plant.setAfterOpen([this] {
        refreshAfterReconnect();
        raise();
        activateWindow();
    });
    m_banks.setStartDirectory(m_workingDirectory.isEmpty() ? QDir::currentPath()
                                                           : m_workingDirectory);
    connect(&m_banks, &CBankManager::storedSetSelected, this,
            [this](int) { setBankOperationsEnabled(true); });
    connect(&m_banks, &CBankManager::setsReplaced, this, &CMainFrame::showReplacedSet);
    connect(&m_state, &AppState::shownChannelChanged, this,
            [this](int channel) { m_infoBar->showChannel(channel, m_state.model().working()); });
    connect(&m_banks, &CBankManager::banksErased, this, [this] {
        m_tree->refreshOnActivation();
        updateCommandStates();
    });

    m_progress = new CProgressDlg(this, m_blinkMs);
    if (!s.splashOn) {
        lockMenu(kUnlock);
    }
    m_statusTimer.setInterval(kStatusTimerMs);
    connect(&m_statusTimer, &QTimer::timeout, this, &CMainFrame::refreshStatusPanes);
    m_statusTimer.start();
    // The bars grey at once when a transfer or a continuous update starts, not at the next
    // refresh.
    connect(&m_state, &AppState::busyChanged, this, [this] { updateCommandStates(); });
    m_idleTimer.setInterval(kIdleRefreshMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &CMainFrame::updateCommandStates);
    m_idleTimer.start();

    m_infoBar->fillAll(m_state.model().working());
    updateInfoLayout();
    applyUserSettings();
    updateCommandStates();
}

QAction* CMainFrame::action(int id) const {
    return m_menus == nullptr ? nullptr : m_menus->action(id);
}

std::map<int, std::function<void()>> CMainFrame::commandHandlers() {
    // Ctrl+X and Ctrl+Z have no handler: their keys are taken so that they do nothing.
    return {
        {kCmdImport, [this] { m_banks.runImportDialog(); }},
        {kCmdExport, [this] { m_banks.runExportDialog(false); }},
        {kCmdPrint, [this] { printWith(&PrintTarget::print); }},
        {kCmdPrintPreview, [this] { printWith(&PrintTarget::printPreview); }},
        {kCmdPrintSetup, [this] { printWith(&PrintTarget::printSetup); }},
        {kCmdExit, [this] { close(); }},
        {kCmdCopy, [this] { m_clipboard.copy(); }},
        {kCmdPaste, [this] { m_clipboard.paste(); }},
        {kCmdBankDiscard, [this] { m_banks.discardEdits(); }},
        {kCmdBankWrite, [this] { m_banks.writeBank(); }},
        {kCmdBankErase, [this] { m_banks.runEraseDialog(); }},
        {kCmdBankCopy, [this] { m_banks.runCopyDialog(); }},
        {kCmdCommSettings, [this] { applyCommunicationSettings(); }},
        {kCmdEnvSettings, [this] { runEnvironmentSettings(); }},
        {kCmdPlantView, [this] { m_plant.open(); }},
        {kCmdJournal,
         [this] {
             if (m_openJournal) {
                 m_openJournal();
             }
         }},
        {kCmdToolBar, [this] { toggle(m_toolBar); }},
        {kCmdBankBar, [this] { toggle(m_bankBar); }},
        {kCmdInfoBar, [this] { toggle(m_infoBar); }},
        {kCmdStatusBar, [this] { toggle(m_status); }},
        {kCmdHelp, [this] { m_help.openHelp(); }},
        {kCmdManual, [this] { m_help.openManual(); }},
        {kCmdAbout, [this] { m_help.showAbout(); }},
    };
}

void CMainFrame::createMenus() {
    m_menus = new CommandMenus(*this, commandHandlers(), [this] { updateCommandStates(); });
    connect(m_menus->menu(MenuId::View), &QMenu::aboutToShow, this, [this] {
        action(kCmdToolBar)->setChecked(!m_toolBar->isHidden());
        action(kCmdBankBar)->setChecked(!m_bankBar->isHidden());
        action(kCmdInfoBar)->setChecked(!m_infoBar->isHidden());
        action(kCmdStatusBar)->setChecked(!m_status->isHidden());
    });
}

void CMainFrame::createBars() {
    m_toolBar = new CToolDialogBar(this);
    m_bankBar = new CBankDialogBar(this);
    m_infoBar = new CInfoDialogBar(this);
    for (DialogBar* b : std::initializer_list<DialogBar*>{m_toolBar, m_bankBar, m_infoBar}) {
        b->setBusyQuery([this] { return m_state.busy(); });
    }
    m_toolBar->setAvailable(CToolDialogBar::Import, true);
    m_toolBar->setAvailable(CToolDialogBar::Export, true);
    m_toolBar->setAvailable(CToolDialogBar::Paste, true);
    m_toolBar->setAvailable(CToolDialogBar::Print, true);
    m_menus->bindBar(m_toolBar, {
                                    {CToolDialogBar::Import, kCmdImport, true},
                                    {CToolDialogBar::Export, kCmdExport, true},
                                    {CToolDialogBar::Paste, kCmdPaste, true},
                                    // Shown with the settings list.
                                    {CToolDialogBar::Print, kCmdPrint, false},
                                });
    m_menus->bindBar(m_bankBar, {
                                    {CBankDialogBar::Discard, kCmdBankDiscard, true},
                                    {CBankDialogBar::Write, kCmdBankWrite, true},
                                    {CBankDialogBar::Erase, kCmdBankErase, true},
                                    {CBankDialogBar::Copy, kCmdBankCopy, true},
                                });
}

std::array<QToolBar*, kBarCount> CMainFrame::bars() const {
    return {m_toolBar, m_bankBar, m_infoBar};
}

void CMainFrame::createStatusBar() {
    m_status = new CColorStatusBar(this);
    setStatusBar(m_status);
    m_paneView = std::make_unique<StatusPaneView>(*m_status, m_statusInputs);
    m_paneView->showInitial();
    connect(m_status, &CColorStatusBar::paneDoubleClicked, this, [this](int pane) {
        if (pane == 3 && m_ctx.commandsAllowed && action(kCmdCommSettings) != nullptr &&
            action(kCmdCommSettings)->isEnabled()) {
            action(kCmdCommSettings)->trigger();
        }
    });
    if (!readStatusBarVisible(m_settings)) {
        m_status->hide();
    }
}

void CMainFrame::createClient() {
    m_state.setCommBusy(true);
    m_state.viewAxis = m_settings.getInt("Qavix_Section", "ViewAxis", m_state.viewAxis);
    m_state.viewSample = m_settings.getInt("Qavix_Section", "ViewSample", m_state.viewSample);
    restoreWindowRect(*this, m_settings);
    const int clientWidth = width();
    createPanes();
    m_tree->buildTree();
    placeTreePane(*m_splitter, *m_tree, clientWidth, m_settings);

    CNaviView* navi = m_right->naviView();
    navi->setBusyQuery([this] { return m_state.commBusy(); });
    navi->setClickHandler([this](nav::ItemKind item, int set, int channel) {
        onNaviLabelClicked(item, set, channel);
    });
}

void CMainFrame::createPanes() {
    const ClientPanes panes = buildClientPanes(*this, m_state, m_banks);
    m_right = panes.right;
    m_tree = panes.tree;
    m_splitter = panes.splitter;
    m_debugSplitter = panes.debugSplitter;
    m_debug = panes.debug;
    connect(m_right, &CRightPaneFrame::settingsListShown, this, [this](bool shown) {
        m_toolBar->setButtonState(CToolDialogBar::Copy, shown);
        m_toolBar->setButtonState(CToolDialogBar::Print, shown);
        setPrintCommandsEnabled(shown);
    });
    connect(m_right, &CRightPaneFrame::clockPageShown, this, [this](bool shown) {
        setPageLock(shown);
        m_bankBar->setPageAllows(!shown);
        updateCommandStates();
    });
}

void CMainFrame::onNaviLabelClicked(nav::ItemKind item, int set, int channel) {
    m_right->setSelectedItem(nullptr);
    QTreeWidgetItem* target = m_tree->findItem(item, set, channel);
    if (target == nullptr) {
        return;
    }
    m_tree->tree()->scrollToItem(target);
    // The tree's own selection handling switches the page, channel and bank.
    m_tree->tree()->setCurrentItem(target);
}

void CMainFrame::showWithCommand(int showCommand) {
    showWithStoredCommand(*this, showCommand);
}

void CMainFrame::greyMenus(bool grey) {
    m_menus->greyPopups(grey);
    m_ctx.commandsAllowed = !grey;
}

void CMainFrame::lockMenuUnderOwnWindow() {
    greyMenus(true);
    updateCommandStates();
}

void CMainFrame::lockMenu(int mode) {
    const bool lock = mode == kLockReading || mode == kLockWriting;
    greyMenus(lock);
    if (lock) {
        m_progress->showKind(mode == kLockWriting ? CProgressDlg::Writing : CProgressDlg::Reading);
    } else {
        menuBar()->update();
        if (m_progress->isVisible()) {
            m_progress->closeWindow();
        }
    }
    updateCommandStates();
}

void CMainFrame::updateStatusPane(int pane) {
    m_paneView->update(pane, m_ctx.offlineEditing ? m_offline.filePath() : QString());
}

void CMainFrame::refreshStatusPanes() {
    if (m_state.settingsDialogOpen) {
        return;
    }
    updateStatusPane(1);
    updateStatusPane(2);
    updateStatusPane(3);
}

void CMainFrame::updateInfoField(int field) {
    m_infoBar->updateField(field, m_state.model().working());
}

void CMainFrame::updateInfoLayout() {
    m_infoBar->layoutFor(m_state.model().working().general.jointNum);
}

void CMainFrame::setPrintCommandsEnabled(bool on) {
    m_ctx.printEnabled = on;
    m_ctx.previewEnabled = on;
    m_ctx.printSetupEnabled = on;
}

CommandContext CMainFrame::commandContext() const {
    CommandContext c = m_ctx;
    c.busy = m_state.busy();
    c.anyComPort = m_state.anyComPort;
    c.dataReady = m_state.dataReady;
    const int selected = m_state.model().selectedSet();
    c.bankSelected = selected >= 1 && selected <= kBankCount;
    m_clipboard.describe(c);
    return c;
}

void CMainFrame::updateCommandStates() {
    const CommandContext c = commandContext();
    m_offline.showModified();
    m_menus->applyRules(c);
}

PrintTarget* CMainFrame::printTarget() const {
    if (m_right == nullptr || m_right->showsNaviView()) {
        return nullptr;
    }
    return dynamic_cast<PrintTarget*>(m_right->splitterView()->currentPage());
}

void CMainFrame::printWith(void (PrintTarget::*command)()) {
    if (PrintTarget* page = printTarget()) {
        (page->*command)();
    }
}

void CMainFrame::applyCommunicationSettings() {
    if (m_reconnection.run()) {
        refreshAfterReconnect();
    }
}

void CMainFrame::showReplacedSet(int set) {
    m_right->splitterView()->markSetSwitched();
    m_tree->selectSet(set);
    m_infoBar->fillAll(m_state.model().working());
    updateInfoLayout();
    updateCommandStates();
}

void CMainFrame::refreshAfterReconnect() {
    showReplacedSet(m_state.model().selectedSet());
    m_state.model().working().pageEdited.fill(false);
    refreshStatusPanes();
    updateCommandStates();
}

void CMainFrame::runEnvironmentSettings() {
    plant::PlantSettings plantSettings = plant::PlantSettings::load(m_settings);
    EnvironmentDialog dialog(m_state.user, this, &plantSettings);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    applyUserSettings();
    m_state.user.save(m_settings);
    plantSettings.save(m_settings);
    m_settings.save();
}

void CMainFrame::applyUserSettings() {
    const AppSettings& user = m_state.user;
    applyButtonTexture(this, textureFromSetting(user.button));
    m_right->naviView()->setWebLinks(user.browser != 0, QString::fromStdString(user.webAddr),
                                     QString::fromStdString(user.homeAddr));
    for (QToolBar* bar : bars()) {
        bar->update();
    }
    m_state.announceUserSettings();
}

void CMainFrame::savePlacement() {
    saveBars(bars(), m_settings);
    writeStatusBarVisible(m_settings, !m_status->isHidden());
    saveWindowRect(*this, m_settings);
    m_settings.setInt("Qavix_Section", "ViewAxis", m_state.viewAxis);
    m_settings.setInt("Qavix_Section", "ViewSample", m_state.viewSample);
    saveTreeWidth(*m_splitter, m_settings);
    m_placementSaved = true;
}

void CMainFrame::setOfflineEditing(OfflineEditing editing) {
    m_offline.start(std::move(editing));
    m_ctx.offlineEditing = true;
    // Ctrl+S saves the file being edited; the export keeps its menu item without the key.
    action(kCmdExport)->setShortcut(QKeySequence());
    m_menus->addAtTop(kCmdSaveEditedFile, [this] { saveEditedFile(); });
    updateCommandStates();
}

void CMainFrame::closeForEnd() {
    m_forceClose = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_forceClose) {
        // A close that arrives while a transfer runs (a key press is let through the wait)
        // must not start the guard's own transfers inside it: refuse before asking.
        if (m_state.commBusy() ||
            !m_banks.editingGuard(m_state.model().selectedSet(), CBankManager::kReasonClosing) ||
            !m_offline.confirmLeaving()) {
            event->ignore();
            return;
        }
    }
    m_statusTimer.stop();
    m_idleTimer.stop();
    savePlacement();
    if (m_progress != nullptr) {
        m_progress->closeWindow();
    }
    emit closing();
    event->accept();
}

}  // namespace qavix
