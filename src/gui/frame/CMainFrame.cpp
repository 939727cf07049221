#include "frame/CMainFrame.h"

#include <QGuiApplication>
#include <QScreen>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QTreeWidget>
#include <QUrl>

#include "ProgramVersion.h"
#include "frame/CBankDialogBar.h"
#include "frame/CBankManager.h"
#include "frame/CDebugView.h"
#include "frame/CInfoDialogBar.h"
#include "frame/CLeftPaneView.h"
#include "frame/CProgressDlg.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CToolDialogBar.h"
#include "frame/CommandIds.h"
#include "frame/EnvironmentDialog.h"
#include "frame/ManualLocation.h"
#include "frame/WindowPlacement.h"
#include "pages/PrintTarget.h"
#include "widgets/CColorStatusBar.h"
#include "widgets/CPictureButton.h"
#include "widgets/ShownOnlyAccessible.h"

namespace qavix {

namespace {

constexpr int kMinWidth = 800;
constexpr int kMinHeight = 600;
constexpr int kFirstStartWidth = 1100;
constexpr int kFirstStartHeight = 760;
constexpr int kIdleRefreshMs = 200;
constexpr int kDebugPaneHeight = 150;
constexpr int kMinUpperRow = 10;
constexpr int kTreeWidthDivisor = 5;
constexpr int kTreeMaxPercent = 40;
constexpr const char* kTreeWidthKey = "TreeWidth";
constexpr int kTreeLabelPadding = 16;  // between icon and text, and after the text
constexpr int kUnitPaneExtra = 20;
constexpr int kShowMaximized = 3;
constexpr int kShowMinimized = 2;
constexpr int kShowMinNoActive = 7;
constexpr int kShowMinimize = 6;
constexpr const char* kHelpTitle = "Qavix Help";

QColor toQColor(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

}  // namespace

CMainFrame::CMainFrame(const FrameServices& s, QWidget* parent)
    : QMainWindow(parent),
      m_state(s.state),
      m_settings(s.settings),
      m_banks(s.banks),
      m_statusInputs(s.status),
      m_workingDirectory(s.workingDirectory),
      m_blinkMs(s.blinkMs) {
    // Before any window part exists: the descriptions Qt makes for screen readers are kept.
    installShownOnlyAccessibility();
    setObjectName("CMainFrame");
    setWindowTitle("Qavix");
    setMinimumSize(kMinWidth, kMinHeight);
    m_ctx.anyComPort = m_state.anyComPort;

    createStatusBar();
    createMenus();
    createBars();
    restoreBars();
    createClient();
    m_banks.setDialogParent(this);
    m_banks.setAppState(&m_state);
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
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (qobject_cast<QLineEdit*>(now) != nullptr ||
            qobject_cast<QPlainTextEdit*>(now) != nullptr) {
            m_lastEdit = now;
        }
    });
    m_idleTimer.setInterval(kIdleRefreshMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &CMainFrame::updateCommandStates);
    m_idleTimer.start();

    m_infoBar->fillAll(m_state.model().working());
    updateInfoLayout();
    applyUserSettings();
    updateCommandStates();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& text, const QKeySequence& key,
                                std::function<void()> handler) {
    auto* a = new QAction(text, this);
    a->setData(id);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    if (menu != nullptr) {
        menu->addAction(a);
    } else {
        addAction(a);
    }
    if (handler) {
        connect(a, &QAction::triggered, this, std::move(handler));
    }
    m_actions[id] = a;
    return a;
}

void CMainFrame::createMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("ファイル(&F)");
    QMenu* edit = bar->addMenu("編集(&E)");
    QMenu* bank = bar->addMenu("Bank(&B)");
    QMenu* settings = bar->addMenu("設定(&S)");
    QMenu* view = bar->addMenu("表示(&V)");
    QMenu* help = bar->addMenu("ヘルプ(&H)");
    m_popups = {file, edit, bank, settings, view, help};

    addCommand(file, kCmdImport, "インポート(&O)...", QKeySequence("Ctrl+O"),
               [this] { m_banks.runImportDialog(); });
    addCommand(file, kCmdExport, "エクスポート(&S)", QKeySequence("Ctrl+S"),
               [this] { m_banks.runExportDialog(false); });
    file->addSeparator();
    addCommand(file, kCmdPrint, "印刷(&P)...", QKeySequence("Ctrl+P"), [this] {
        if (PrintTarget* page = printTarget()) {
            page->print();
        }
    });
    addCommand(file, kCmdPrintPreview, "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", QKeySequence(), [this] {
        if (PrintTarget* page = printTarget()) {
            page->printPreview();
        }
    });
    file->addSeparator();
    // Ctrl+Q closes the window, so it passes the same bank editing guard as the close button.
    // Spelled out: the standard Quit key is empty on platforms without key bindings.
    addCommand(file, kCmdExit, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", QKeySequence("Ctrl+Q"), [this] { close(); });
    addCommand(nullptr, kCmdPrintSetup, "", QKeySequence(), [this] {
        if (PrintTarget* page = printTarget()) {
            page->printSetup();
        }
    });

    // The menu texts carry their keys; the keys themselves are window shortcuts.
    addCommand(edit, kCmdCopy, "ｺﾋﾟｰ(&P) Ctrl + C", QKeySequence(), [this] { copyFromFocus(); });
    addCommand(edit, kCmdPaste, "貼り付け Ctrl + P", QKeySequence(), [this] { pasteToFocus(); });
    auto* copyKey = new QShortcut(QKeySequence("Ctrl+C"), this);
    connect(copyKey, &QShortcut::activated, this, [this] {
        if (action(kCmdCopy)->isEnabled()) {
            copyFromFocus();
        }
    });
    auto* pasteKey = new QShortcut(QKeySequence("Ctrl+V"), this);
    connect(pasteKey, &QShortcut::activated, this, [this] {
        if (action(kCmdPaste)->isEnabled()) {
            pasteToFocus();
        }
    });
    addCommand(nullptr, kCmdCut, "", QKeySequence("Ctrl+X"), nullptr);
    addCommand(nullptr, kCmdUndo, "", QKeySequence("Ctrl+Z"), nullptr);

    addCommand(bank, kCmdBankDiscard, "Bank編集破棄", QKeySequence(),
               [this] { m_banks.discardEdits(); });
    addCommand(bank, kCmdBankWrite, "Bank書込み", QKeySequence(), [this] { m_banks.writeBank(); });
    addCommand(bank, kCmdBankErase, "Bank消去", QKeySequence(),
               [this] { m_banks.runEraseDialog(); });
    addCommand(bank, kCmdBankCopy, "Bankｺﾋﾟｰ", QKeySequence(), [this] { m_banks.runCopyDialog(); });

    addCommand(settings, kCmdCommSettings, "通信設定(&C)", QKeySequence(),
               [this] { applyCommunicationSettings(); });
    addCommand(settings, kCmdEnvSettings, "環境設定(&G)", QKeySequence(),
               [this] { runEnvironmentSettings(); });

    addCommand(view, kCmdToolBar, "ﾂｰﾙ ﾊﾞｰ(&T)", QKeySequence(), [this] { toggle(m_toolBar); });
    addCommand(view, kCmdBankBar, "Bank ﾊﾞｰ(&B)", QKeySequence(), [this] { toggle(m_bankBar); });
    addCommand(view, kCmdInfoBar, "ﾀﾞｲｱﾛｸﾞﾊﾞｰ(&D)", QKeySequence(), [this] { toggle(m_infoBar); });
    addCommand(view, kCmdStatusBar, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)", QKeySequence(), [this] { toggle(m_status); });
    for (int id : {kCmdToolBar, kCmdBankBar, kCmdInfoBar, kCmdStatusBar}) {
        action(id)->setCheckable(true);
    }
    connect(view, &QMenu::aboutToShow, this, [this] {
        action(kCmdToolBar)->setChecked(!m_toolBar->isHidden());
        action(kCmdBankBar)->setChecked(!m_bankBar->isHidden());
        action(kCmdInfoBar)->setChecked(!m_infoBar->isHidden());
        action(kCmdStatusBar)->setChecked(!m_status->isHidden());
    });

    addCommand(help, kCmdHelp, "ヘルプ", QKeySequence("Ctrl+H"), [this] { openHelp(); });
    addCommand(help, kCmdManual, "ユーザーズマニュアル(&U)", QKeySequence("Ctrl+U"),
               [this] { openManual(); });
    help->addSeparator();
    addCommand(help, kCmdAbout, "ﾊﾞｰｼﾞｮﾝ情報(&A)...", QKeySequence(), [this] { showAbout(); });

    for (QMenu* m : m_popups) {
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    }
}

void CMainFrame::createBars() {
    m_toolBar = new CToolDialogBar(this);
    m_bankBar = new CBankDialogBar(this);
    m_infoBar = new CInfoDialogBar(this);
    for (DialogBar* b : std::initializer_list<DialogBar*>{m_toolBar, m_bankBar, m_infoBar}) {
        b->setBusyQuery([this] { return m_state.busy(); });
    }
    m_toolBar->setAvailable(CToolDialogBar::Paste, true);
    m_toolBar->setAvailable(CToolDialogBar::Import, true);
    m_toolBar->setAvailable(CToolDialogBar::Export, true);
    m_toolBar->setAvailable(CToolDialogBar::Print, true);
    connect(m_toolBar, &CToolDialogBar::buttonClicked, this, [this](int b) {
        if (b == CToolDialogBar::Paste) {
            pasteToFocus();
        } else if (b == CToolDialogBar::Import) {
            triggerIfEnabled(kCmdImport);
        } else if (b == CToolDialogBar::Export) {
            triggerIfEnabled(kCmdExport);
        } else if (b == CToolDialogBar::Print && m_ctx.printEnabled) {
            if (PrintTarget* page = printTarget()) {
                page->print();
            }
        }
    });
    connect(m_bankBar, &CBankDialogBar::buttonClicked, this, [this](int b) {
        static constexpr int kBankBarCommands[CBankDialogBar::ButtonCount] = {
            kCmdBankDiscard, kCmdBankWrite, kCmdBankErase, kCmdBankCopy};
        triggerIfEnabled(kBankBarCommands[b]);
    });
}

std::array<QToolBar*, kBarCount> CMainFrame::bars() const {
    return {m_toolBar, m_bankBar, m_infoBar};
}

void CMainFrame::restoreBars() {
    const auto all = bars();
    std::array<BarPlacement, kBarCount> placement;
    std::vector<int> docked;
    std::vector<int> floating;
    for (int i = 0; i < kBarCount; ++i) {
        placement[static_cast<size_t>(i)] = readBarPlacement(m_settings, i);
        const BarPlacement& p = placement[static_cast<size_t>(i)];
        (p.visible && p.floating ? floating : docked).push_back(i);
    }
    bool firstRow = true;
    for (const std::vector<int>& row : dockRows(placement, docked)) {
        if (!firstRow) {
            addToolBarBreak(Qt::TopToolBarArea);
        }
        firstRow = false;
        for (int i : row) {
            addToolBar(Qt::TopToolBarArea, all[static_cast<size_t>(i)]);
        }
    }
    for (int i : floating) {
        auto* bar = static_cast<DialogBar*>(all[static_cast<size_t>(i)]);
        addToolBar(Qt::TopToolBarArea, bar);
        const BarPlacement& p = placement[static_cast<size_t>(i)];
        bar->floatAt(QPoint(p.left, p.top));
    }
    for (int i = 0; i < kBarCount; ++i) {
        if (!placement[static_cast<size_t>(i)].visible) {
            all[static_cast<size_t>(i)]->hide();
        }
    }
}

void CMainFrame::createStatusBar() {
    m_status = new CColorStatusBar(this);
    setStatusBar(m_status);
    m_status->setPaneText(0, "ﾚﾃﾞｨ");
    applyPane(1);
    applyPane(2);
    applyPane(3);
    const QFontMetrics fm(m_status->pane(2)->font());
    m_status->pane(2)->setFixedWidth(fm.horizontalAdvance(m_status->pane(2)->text()) +
                                     kUnitPaneExtra);
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
    const int left = m_settings.getInt("Qavix_Section", "left", 0);
    const int top = m_settings.getInt("Qavix_Section", "top", 0);
    const int right = m_settings.getInt("Qavix_Section", "right", kMinWidth);
    const int bottom = m_settings.getInt("Qavix_Section", "bottom", kMinHeight);
    m_state.viewAxis = m_settings.getInt("Qavix_Section", "ViewAxis", m_state.viewAxis);
    m_state.viewSample = m_settings.getInt("Qavix_Section", "ViewSample", m_state.viewSample);
    const QRect saved(left, top, std::max(right - left, kMinWidth),
                      std::max(bottom - top, kMinHeight));
    QScreen* screen = QGuiApplication::screenAt(saved.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        setGeometry(saved);
    } else {
        const QRect a = screen->availableGeometry();
        const PlacementRect available{a.x(), a.y(), a.width(), a.height()};
        const PlacementSize least{kMinWidth, kMinHeight};
        const PlacementSize minimum = minimumOnScreen(least, available);
        setMinimumSize(minimum.width, minimum.height);
        // A first start has nothing saved: open large enough that the tree's labels show.
        const bool firstRun = !m_settings.value("Qavix_Section", "right").has_value();
        const PlacementRect r =
            firstRun ? firstStart({kFirstStartWidth, kFirstStartHeight}, least, available)
                     : clampToScreen({saved.x(), saved.y(), saved.width(), saved.height()}, least,
                                     available);
        setGeometry(QRect(r.left, r.top, r.width, r.height));
    }

    auto shape = [this] { return nav::shapeOf(m_state.model(), m_state.extendedMode); };
    auto title = [this] { return m_state.pageTitle; };
    m_right = new CRightPaneFrame(shape, title);
    m_tree = new CLeftPaneView(m_state, m_banks, *m_right);
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

    const int clientWidth = width();
    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->setObjectName("mainSplitter");
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_right);
    m_splitter->setStretchFactor(1, 1);
    // Dragged past its minimum, the tree would vanish: the one way through the program.
    m_splitter->setChildrenCollapsible(false);
    if (m_state.debugMode) {
        m_debugSplitter = new QSplitter(Qt::Vertical, this);
        m_debugSplitter->setObjectName("debugSplitter");
        m_debug = new CDebugView([this] { return m_state.commBusy(); });
        m_debugSplitter->addWidget(m_splitter);
        m_debugSplitter->addWidget(m_debug);
        m_debugSplitter->setStretchFactor(0, 1);
        const int upper = std::max(height() - kDebugPaneHeight, kMinUpperRow);
        m_debugSplitter->setSizes({upper, kDebugPaneHeight});
        setCentralWidget(m_debugSplitter);
    } else {
        setCentralWidget(m_splitter);
    }
    m_tree->buildTree();
    const int labels = treeLabelsWidth();
    // The pane's limit gives way to labels that need more in this font.
    m_tree->setMaximumWidth(std::max(CLeftPaneView::kMaxWidth, labels));
    TreePaneWidths widths;
    widths.client = clientWidth;
    widths.labels = labels;
    widths.maximum = m_tree->maximumWidth();
    widths.saved = m_settings.getInt("Qavix_Section", kTreeWidthKey, -1);
    widths.divisor = kTreeWidthDivisor;
    widths.maxPercent = kTreeMaxPercent;
    // A page whose row needs more than the window leaves takes the room from the tree down
    // to the tree's minimum, which must keep the labels whole.
    m_tree->setMinimumWidth(treePaneMinimum(widths));
    const int treeWidth = treePaneWidth(widths);
    m_splitter->setSizes({treeWidth, clientWidth - treeWidth});

    CNaviView* navi = m_right->naviView();
    navi->setBusyQuery([this] { return m_state.commBusy(); });
    navi->setClickHandler([this](nav::ItemKind item, int set, int channel) {
        onNaviLabelClicked(item, set, channel);
    });
}

int CMainFrame::treeLabelsWidth() const {
    const QTreeWidget* tree = m_tree->tree();
    const QFontMetrics metrics(tree->font());
    int widest = 0;
    std::function<void(const QTreeWidgetItem*, int)> walk = [&](const QTreeWidgetItem* item,
                                                                int depth) {
        const int width = tree->indentation() * (depth + 1) + tree->iconSize().width() +
                          metrics.horizontalAdvance(item->text(0)) + kTreeLabelPadding;
        widest = std::max(widest, width);
        for (int i = 0; i < item->childCount(); ++i) {
            walk(item->child(i), depth + 1);
        }
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        walk(tree->topLevelItem(i), 0);
    }
    return widest + tree->frameWidth() * 2 + tree->verticalScrollBar()->sizeHint().width();
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
    switch (showCommand) {
        case kShowMaximized:
            showMaximized();
            break;
        case kShowMinimized:
        case kShowMinimize:
        case kShowMinNoActive:
            showMinimized();
            break;
        default:
            // Any other command, hidden included, shows the window: a program without a
            // window could not be used or ended.
            show();
            break;
    }
    raise();
    activateWindow();
}

void CMainFrame::greyMenus(bool grey) {
    for (QMenu* m : m_popups) {
        m->menuAction()->setEnabled(!grey);
    }
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

void CMainFrame::applyPane(int pane) {
    const PaneLook& look = m_panes.pane(pane);
    m_status->setPane(pane, QString::fromStdString(look.text), look.width,
                      toQColor(look.textColour), toQColor(look.back));
}

void CMainFrame::updateStatusPane(int pane) {
    if (!m_statusInputs) {
        return;
    }
    const StatusInputs inputs = m_statusInputs();
    m_panes.update(pane, inputs);
    for (int p = 1; p <= 3; ++p) {
        applyPane(p);
    }
    if (m_ctx.offlineEditing) {
        m_status->pane(3)->setToolTip(m_offline.filePath);
        return;
    }
    m_status->pane(3)->setToolTip(inputs.portTarget.empty()
                                      ? QString("デバイスなし（ダブルクリックで通信設定）")
                                      : QString::fromStdString(inputs.portTarget) +
                                            "\n（ダブルクリックで通信設定）");
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
    QWidget* edit = editTarget();
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        c.focusedEditHasSelection = line->hasSelectedText();
        c.canPaste = !line->isReadOnly() && !QApplication::clipboard()->text().isEmpty();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(edit)) {
        c.focusedEditHasSelection = text->textCursor().hasSelection();
        c.canPaste = !text->isReadOnly() && !QApplication::clipboard()->text().isEmpty();
    }
    return c;
}

QWidget* CMainFrame::editTarget() const {
    auto isEdit = [](const QWidget* w) {
        return qobject_cast<const QLineEdit*>(w) != nullptr ||
               qobject_cast<const QPlainTextEdit*>(w) != nullptr;
    };
    QWidget* focus = QApplication::focusWidget();
    if (isEdit(focus)) {
        return focus;
    }
    // A tool bar button reached with Tab holds the focus itself; it acts on the edit the
    // user left, as long as that edit can still be typed into.
    if (m_lastEdit != nullptr && m_lastEdit->isVisible() && m_lastEdit->isEnabled()) {
        return m_lastEdit;
    }
    return nullptr;
}

void CMainFrame::updateCommandStates() {
    const CommandContext c = commandContext();
    if (c.offlineEditing && m_offline.modified) {
        setWindowModified(m_offline.modified());
    }
    for (auto& [id, a] : m_actions) {
        a->setEnabled(commandEnabled(id, c));
    }
    // The tool bar's buttons follow the rules of the menu items they stand for.
    m_toolBar->setButtonState(CToolDialogBar::Import, commandEnabled(kCmdImport, c));
    m_toolBar->setButtonState(CToolDialogBar::Export, commandEnabled(kCmdExport, c));
    m_toolBar->setButtonState(CToolDialogBar::Paste, commandEnabled(kCmdPaste, c));
    m_bankBar->setButtonState(CBankDialogBar::Discard, commandEnabled(kCmdBankDiscard, c));
    m_bankBar->setButtonState(CBankDialogBar::Write, commandEnabled(kCmdBankWrite, c));
    m_bankBar->setButtonState(CBankDialogBar::Erase, commandEnabled(kCmdBankErase, c));
    m_bankBar->setButtonState(CBankDialogBar::Copy, commandEnabled(kCmdBankCopy, c));
}

PrintTarget* CMainFrame::printTarget() const {
    if (m_right == nullptr || m_right->showsNaviView()) {
        return nullptr;
    }
    return dynamic_cast<PrintTarget*>(m_right->splitterView()->currentPage());
}

void CMainFrame::toggle(QWidget* w) {
    w->setVisible(w->isHidden());
}

void CMainFrame::copyFromFocus() {
    QWidget* edit = editTarget();
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->copy();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(edit)) {
        text->copy();
    }
}

void CMainFrame::pasteToFocus() {
    QWidget* edit = editTarget();
    if (auto* line = qobject_cast<QLineEdit*>(edit); line != nullptr && !line->isReadOnly()) {
        line->paste();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(edit);
               text != nullptr && !text->isReadOnly()) {
        text->paste();
    }
}

void CMainFrame::openHelp() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == kHelpTitle) {
            return;
        }
    }
    openManual();
}

void CMainFrame::openManual() {
    // Help and the user's manual are one HTML manual, shown in the desktop's browser.
    const auto places = manualCandidates(QCoreApplication::applicationDirPath().toStdString());
    const std::string manual = findManual(places);
    if (manual.empty()) {
        QMessageBox::warning(this, "Qavix", QString::fromStdString(manualMissingMessage(places)));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(manual));
    if (m_urlOpener ? !m_urlOpener(url) : !QDesktopServices::openUrl(url)) {
        QMessageBox::warning(this, "Qavix",
                             QString("ブラウザでマニュアルを開けませんでした。\n%1")
                                 .arg(QString::fromStdString(manual)));
    }
}

void CMainFrame::showAbout() {
    QMessageBox::about(this, "Qavixのバージョン情報",
                       QString("Qavix Version %1\n\nエリアスキャナ設定・モニタツール")
                           .arg(QString::fromUtf8(programVersion())));
}

void CMainFrame::applyCommunicationSettings() {
    if (!m_hooks.commSettings) {
        return;
    }
    // Another port or unit means reading everything again, which would drop bank edits
    // that were applied but not written; the editing guard offers to write, save or
    // discard them first. (Pending page edits are dropped with the change, as before.)
    const int selected = m_state.model().selectedSet();
    if ((m_state.model().editState(selected) & kEditAppliedUnwritten) != 0 &&
        !m_banks.editingGuard(selected, CBankManager::kReasonSwitch)) {
        return;
    }
    const StatusInputs before = m_statusInputs();
    m_hooks.commSettings();
    const StatusInputs after = m_statusInputs();
    if (before.port == after.port && before.unit == after.unit) {
        return;
    }
    if (m_hooks.reconnect) {
        m_hooks.reconnect();
    }
    refreshAfterReconnect();
}

void CMainFrame::triggerIfEnabled(int id) {
    // The rule is evaluated now: a bar button may still show the state of the last refresh.
    updateCommandStates();
    QAction* a = action(id);
    if (a != nullptr && a->isEnabled()) {
        a->trigger();
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
    DeviceModel& model = m_state.model();
    m_right->splitterView()->markSetSwitched();
    m_tree->selectSet(model.selectedSet());
    m_infoBar->fillAll(model.working());
    updateInfoLayout();
    model.working().pageEdited.fill(false);
    refreshStatusPanes();
    updateCommandStates();
}

void CMainFrame::runEnvironmentSettings() {
    EnvironmentDialog dialog(m_state.user, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    applyUserSettings();
    m_state.user.save(m_settings);
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
    const auto all = bars();
    for (int i = 0; i < kBarCount; ++i) {
        QToolBar* bar = all[static_cast<size_t>(i)];
        BarPlacement p;
        p.visible = !bar->isHidden();
        p.floating = bar->isFloating();
        const QRect r =
            p.floating ? bar->geometry() : QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size());
        p.left = r.x();
        p.top = r.y();
        p.right = r.x() + r.width();
        p.bottom = r.y() + r.height();
        writeBarPlacement(m_settings, i, p);
    }
    writeStatusBarVisible(m_settings, !m_status->isHidden());

    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    m_settings.setInt("Qavix_Section", "Show", 1);
    m_settings.setInt("Qavix_Section", "Left", normal.x());
    m_settings.setInt("Qavix_Section", "Top", normal.y());
    m_settings.setInt("Qavix_Section", "Right", normal.x() + normal.width());
    m_settings.setInt("Qavix_Section", "Bottom", normal.y() + normal.height());
    m_settings.setInt("Qavix_Section", "ViewAxis", m_state.viewAxis);
    m_settings.setInt("Qavix_Section", "ViewSample", m_state.viewSample);
    // A window closed while minimised has no width to keep.
    if (const int treeWidth = m_splitter->sizes().value(0); treeWidth > 0) {
        m_settings.setInt("Qavix_Section", kTreeWidthKey, treeWidth);
    }
    m_placementSaved = true;
}

void CMainFrame::setOfflineEditing(OfflineEditing editing) {
    m_offline = std::move(editing);
    m_ctx.offlineEditing = true;
    setWindowTitle(
        QString("%1[*] - Qavix オフライン編集").arg(QFileInfo(m_offline.filePath).fileName()));
    // Ctrl+S saves the file being edited; the export keeps its menu item without the key.
    action(kCmdExport)->setShortcut(QKeySequence());
    QMenu* file = m_popups.constFirst();
    QAction* first = file->actions().constFirst();
    QAction* save = addCommand(nullptr, kCmdSaveEditedFile, "上書き保存(&W)",
                               QKeySequence("Ctrl+S"), [this] { saveEditedFile(); });
    file->insertAction(first, save);
    file->insertSeparator(first);
    updateCommandStates();
}

bool CMainFrame::saveEditedFile() {
    if (!m_offline.save) {
        return false;
    }
    // What the pages hold but have not written is not in the current values yet.
    if (m_state.model().working().anyPageEdited()) {
        m_banks.showEditingMessage();
        return false;
    }
    const QString error = m_offline.save();
    if (!error.isEmpty()) {
        QMessageBox::warning(
            this, "Qavix",
            QString("%1 を保存できませんでした。\n%2").arg(m_offline.filePath, error));
        return false;
    }
    setWindowModified(false);
    return true;
}

bool CMainFrame::confirmLeavingEditedFile() {
    if (!m_ctx.offlineEditing || !m_offline.modified || !m_offline.modified()) {
        return true;
    }
    const auto answer = QMessageBox::question(
        this, "Qavix",
        QString("%1 は変更されています。\n保存しますか？")
            .arg(QFileInfo(m_offline.filePath).fileName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) {
        return saveEditedFile();
    }
    return answer == QMessageBox::Discard;
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
            !confirmLeavingEditedFile()) {
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
