#pragma once
// The program's one top-level window: menu 128 with its accelerators and enable rules, the
// tool, bank and information bars docked at the top, the colour status bar, and the client
// area split into the navigation tree and the right pane (plus the trace pane in debug
// mode). Remembers window and bar placement in Qavix.ini.

#include <QAction>
#include <QMainWindow>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "files/SettingsFile.h"
#include "frame/BarPlacement.h"
#include "frame/CommandRules.h"
#include "frame/CommandTable.h"
#include "frame/EditClipboard.h"
#include "frame/HelpLauncher.h"
#include "frame/NavigationTree.h"
#include "frame/OfflineEditSession.h"
#include "frame/PlantLauncher.h"
#include "frame/Reconnection.h"
#include "frame/StatusPaneView.h"
#include "state/AppState.h"

namespace qavix {

class CBankManager;
class CommandMenus;
class CBankDialogBar;
class CDebugView;
class CInfoDialogBar;
class CLeftPaneView;
class CProgressDlg;
class CRightPaneFrame;
class CToolDialogBar;
class CColorStatusBar;
class PrintTarget;

struct FrameServices {
    AppState& state;
    SettingsFile& settings;
    CBankManager& banks;
    std::function<StatusInputs()> status;
    QString workingDirectory;
    bool splashOn = true;
    int blinkMs = 300;
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    enum LockMode { kLockReading = 0, kLockWriting = 1, kUnlock = 2 };
    static constexpr int kStatusTimerMs = 2000;  // timer 998
    using UrlOpener = HelpLauncher::UrlOpener;
    void setUrlOpener(UrlOpener opener) { m_help.setUrlOpener(std::move(opener)); }
    void openHelp() { m_help.openHelp(); }
    void openManual() { m_help.openManual(); }

    explicit CMainFrame(const FrameServices& services, QWidget* parent = nullptr);
    ~CMainFrame() override = default;

    void lockMenu(int mode);
    // Greys the menus as lockMenu does, for a read that shows a wait window of its own (the
    // initial read after a change of port); lockMenu(kUnlock) ends it.
    void lockMenuUnderOwnWindow();
    void updateStatusPane(int pane);
    // What timer 998 does: panes 1 to 3, unless the communication settings dialog is open.
    void refreshStatusPanes();
    void updateInfoField(int field);
    void updateInfoLayout();
    void setImportEnabled(bool on) { m_ctx.importEnabled = on; }
    void setExportEnabled(bool on) { m_ctx.exportEnabled = on; }
    void setPrintCommandsEnabled(bool on);
    void setBankOperationsEnabled(bool on) { m_ctx.bankOperationsEnabled = on; }
    void setPageLock(bool on) { m_ctx.pageLock = on; }
    void setCommandsAllowed(bool on) { m_ctx.commandsAllowed = on; }

    // Re-evaluates every enable rule (done on a short idle timer and when a menu opens).
    void updateCommandStates();
    CommandContext commandContext() const;
    QAction* action(int id) const;

    // Ends the window without the editing guard: the program is ending.
    void closeForEnd();
    // Shows the window with the stored show command.
    void showWithCommand(int showCommand);

    CLeftPaneView* tree() const { return m_tree; }
    CBankManager& bankManager() const { return m_banks; }
    CRightPaneFrame* rightPane() const { return m_right; }
    CDebugView* debugView() const { return m_debug; }
    CColorStatusBar* colorStatusBar() const { return m_status; }
    CToolDialogBar* toolBar() const { return m_toolBar; }
    CBankDialogBar* bankBar() const { return m_bankBar; }
    CInfoDialogBar* infoBar() const { return m_infoBar; }
    std::array<QToolBar*, kBarCount> bars() const;
    CProgressDlg* progressDialog() const { return m_progress; }
    const StatusPanes& statusPanes() const { return m_paneView->panes(); }
    bool commandsAllowed() const { return m_ctx.commandsAllowed; }

    void setConnectionHooks(ConnectionHooks hooks) { m_reconnection.setHooks(std::move(hooks)); }
    // "プラント表示": the plant window, and a controller opened from it.
    PlantLauncher& plant() { return m_plant; }
    // "変更履歴": the program opens the window over its journal and controller.
    void setJournalOpener(std::function<void()> open) { m_openJournal = std::move(open); }
    // Turns the window into the editor of one bank file: title, "上書き保存" (Ctrl+S) and the
    // question about unsaved changes when leaving.
    void setOfflineEditing(OfflineEditing editing);
    bool offlineEditing() const { return m_ctx.offlineEditing; }
    // "上書き保存": false when nothing was saved (pending page edits, a failed write).
    bool saveEditedFile() { return m_offline.save(); }
    // Command 32780 and a double click on status pane 3: the communication settings, then,
    // when the port or unit changed, the link opened again and everything refreshed.
    void applyCommunicationSettings();
    // Command 32774: the environment settings; on OK applied to every window and saved.
    void runEnvironmentSettings();
    // Gives the button style, colours and web links of the user's settings to every bar,
    // page and the navigation view.
    void applyUserSettings();

    // Writes the bars' and the window's placement to the settings file.
    void savePlacement();

  signals:
    void closing();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // What each command of the table does.
    std::map<int, std::function<void()>> commandHandlers();
    void createMenus();
    void createBars();
    void createStatusBar();
    void createClient();
    void createPanes();
    void greyMenus(bool grey);
    // The page shown when it prints (the settings list), else nothing.
    PrintTarget* printTarget() const;
    void printWith(void (PrintTarget::*command)());
    void refreshAfterReconnect();
    // After a copy, import or discard replaced stored data: pages and tree show `set`.
    void showReplacedSet(int set);
    void onNaviLabelClicked(nav::ItemKind item, int set, int channel);

    AppState& m_state;
    SettingsFile& m_settings;
    CBankManager& m_banks;
    std::function<StatusInputs()> m_statusInputs;
    QString m_workingDirectory;
    int m_blinkMs;

    HelpLauncher m_help{this};
    Reconnection m_reconnection;
    std::function<void()> m_openJournal;
    OfflineEditSession m_offline;
    PlantLauncher m_plant;
    EditClipboard m_clipboard;
    CommandContext m_ctx;
    CommandMenus* m_menus = nullptr;
    CToolDialogBar* m_toolBar = nullptr;
    CBankDialogBar* m_bankBar = nullptr;
    CInfoDialogBar* m_infoBar = nullptr;
    CColorStatusBar* m_status = nullptr;
    std::unique_ptr<StatusPaneView> m_paneView;
    QSplitter* m_splitter = nullptr;
    QSplitter* m_debugSplitter = nullptr;
    CLeftPaneView* m_tree = nullptr;
    CRightPaneFrame* m_right = nullptr;
    CDebugView* m_debug = nullptr;
    CProgressDlg* m_progress = nullptr;
    QTimer m_statusTimer;
    QTimer m_idleTimer;
    bool m_forceClose = false;
    bool m_placementSaved = false;
};

}  // namespace qavix
