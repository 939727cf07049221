// The main frame as a window: bars restored from and saved to the settings file, status
// panes, the menu lock with its wait window, the information bar, closing.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "GuiTestSupport.h"
#include "frame/CBankDialogBar.h"
#include "frame/CDebugView.h"
#include "frame/CInfoDialogBar.h"
#include "frame/CLeftPaneView.h"
#include "frame/CProgressDlg.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CToolDialogBar.h"
#include "frame/CommandIds.h"
#include "widgets/CColorStatusBar.h"
#include "widgets/CPictureButton.h"

namespace qavix::test {
namespace {

QColor textColour(QLabel* l) {
    return l->palette().color(QPalette::WindowText);
}

TEST(MainFrame, BarsDockInOneRowWithoutSettings) {
    FrameFixture f;
    auto frame = f.makeFrame();
    frame->show();
    settle();
    for (QToolBar* bar : frame->bars()) {
        EXPECT_FALSE(bar->isFloating());
        EXPECT_FALSE(bar->isHidden());
        EXPECT_EQ(frame->toolBarArea(bar), Qt::TopToolBarArea);
    }
    // One row: the same top edge, left to right in the order tool, bank, information.
    const auto bars = frame->bars();
    EXPECT_EQ(bars[0]->y(), bars[1]->y());
    EXPECT_EQ(bars[1]->y(), bars[2]->y());
    EXPECT_LT(bars[0]->x(), bars[1]->x());
    EXPECT_LT(bars[1]->x(), bars[2]->x());
    EXPECT_EQ(frame->windowTitle(), "Qavix");
    EXPECT_GE(frame->minimumWidth(), 800);
}

TEST(MainFrame, BarPlacementIsWrittenAtCloseAndRestored) {
    FrameFixture f(
        "[ToolDialog]\r\nVisible=1\r\nFloat=1\r\nLeft=310\r\nTop=220\r\nRight=480\r\nBottom=260\r\n"
        "[BankDialog]\r\nVisible=0\r\nFloat=0\r\n"
        "[StatusBar]\r\nVisible=0\r\n");
    QSize toolSize;
    {
        auto frame = f.makeFrame();
        frame->show();
        settle();
        EXPECT_TRUE(frame->toolBar()->isFloating());
        EXPECT_EQ(frame->toolBar()->pos(), QPoint(310, 220));
        EXPECT_TRUE(frame->bankBar()->isHidden());
        EXPECT_FALSE(frame->infoBar()->isFloating());
        EXPECT_TRUE(frame->colorStatusBar()->isHidden());
        // The view menu's check marks follow the bars.
        QMenu* view = frame->menuBar()->actions().at(4)->menu();
        emit view->aboutToShow();
        EXPECT_TRUE(frame->action(kCmdToolBar)->isChecked());
        EXPECT_FALSE(frame->action(kCmdBankBar)->isChecked());
        EXPECT_FALSE(frame->action(kCmdStatusBar)->isChecked());

        frame->toolBar()->move(330, 240);
        toolSize = frame->toolBar()->size();
        EXPECT_TRUE(frame->close());
    }
    const SettingsFile& s = f.settings;
    EXPECT_EQ(s.getInt("ToolDialog", "Float", -1), 1);
    EXPECT_EQ(s.getInt("ToolDialog", "Left", -1), 330);
    EXPECT_EQ(s.getInt("ToolDialog", "Top", -1), 240);
    EXPECT_EQ(s.getInt("ToolDialog", "Right", -1), 330 + toolSize.width());
    EXPECT_EQ(s.getInt("ToolDialog", "Bottom", -1), 240 + toolSize.height());
    EXPECT_EQ(s.getInt("BankDialog", "Visible", -1), 0);
    EXPECT_EQ(s.getInt("InfoDialog", "Visible", -1), 1);
    EXPECT_EQ(s.getInt("InfoDialog", "Float", -1), 0);
    EXPECT_EQ(s.getInt("StatusBar", "Visible", -1), 0);
    EXPECT_EQ(s.getInt("Qavix_Section", "Show", -1), 1);
    EXPECT_EQ(s.getInt("Qavix_Section", "ViewAxis", -1), 128);
    EXPECT_GT(s.getInt("Qavix_Section", "Right", 0), s.getInt("Qavix_Section", "Left", 0));

    // The next start shows the bars where the last one left them.
    auto again = f.makeFrame();
    again->show();
    settle();
    EXPECT_TRUE(again->toolBar()->isFloating());
    EXPECT_EQ(again->toolBar()->pos(), QPoint(330, 240));
    EXPECT_TRUE(again->bankBar()->isHidden());
    EXPECT_FALSE(again->infoBar()->isHidden());
    EXPECT_FALSE(again->infoBar()->isFloating());
}

TEST(MainFrame, WindowPlacementComesFromTheSettings) {
    FrameFixture f(
        "[Qavix_Section]\r\nleft=40\r\ntop=30\r\nright=1040\r\nbottom=780\r\n"
        "ViewAxis=64\r\n");
    auto frame = f.makeFrame();
    const QRect saved(40, 30, 1000, 750);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (screen.contains(saved)) {
        EXPECT_EQ(frame->geometry(), saved);
    } else {
        // A smaller screen keeps the window, status bar included, in sight.
        EXPECT_TRUE(screen.contains(frame->geometry())) << frame->geometry().width();
        EXPECT_EQ(frame->geometry().size(), saved.size().boundedTo(screen.size()));
    }
    EXPECT_EQ(f.state.viewAxis, 64);
    EXPECT_EQ(f.state.viewSample, 60);
}

TEST(MainFrame, StatusPanesShowTheConnection) {
    FrameFixture f;
    f.status.port = 2;
    f.status.baudIndex = 3;
    f.status.unit = 1;
    auto frame = f.makeFrame();
    CColorStatusBar* bar = frame->colorStatusBar();
    EXPECT_EQ(bar->pane(1)->text(), " 未接続 ");
    EXPECT_EQ(textColour(bar->pane(1)), QColor(0, 255, 255));

    frame->refreshStatusPanes();
    EXPECT_EQ(bar->pane(1)->text(), "接続");
    EXPECT_EQ(bar->pane(2)->text(), "１号機");
    EXPECT_EQ(bar->pane(3)->text(), "COM3 38400bps");
    EXPECT_EQ(bar->pane(3)->width(), 13 * 12);
    for (int p = 1; p <= 3; ++p) {
        EXPECT_EQ(textColour(bar->pane(p)), QColor(0, 255, 0)) << p;
        EXPECT_EQ(bar->pane(p)->palette().color(QPalette::Window), QColor(0, 0, 0)) << p;
    }

    f.status.portPresent = false;
    f.status.unitConnected = false;
    frame->refreshStatusPanes();
    EXPECT_EQ(bar->pane(1)->text(), " 未接続 ");
    for (int p = 1; p <= 3; ++p) {
        EXPECT_EQ(textColour(bar->pane(p)), QColor(255, 0, 0)) << p;
    }

    // While the communication settings dialog is open the panes stay as they are.
    f.state.settingsDialogOpen = true;
    f.status.portPresent = true;
    f.status.unitConnected = true;
    frame->refreshStatusPanes();
    EXPECT_EQ(bar->pane(1)->text(), " 未接続 ");
}

// Menu 128 as the user meets it: pop-ups, items, their keys and separators in order.
QString menuOutline(QMenuBar* bar) {
    QStringList lines;
    for (QAction* top : bar->actions()) {
        QStringList items;
        for (QAction* a : top->menu()->actions()) {
            if (a->isSeparator()) {
                items << "-";
                continue;
            }
            const QString key = a->shortcut().toString();
            items << (key.isEmpty() ? a->text() : a->text() + " [" + key + "]") +
                         (a->isCheckable() ? " (check)" : "");
        }
        lines << top->text() + ": " + items.join(" | ");
    }
    return lines.join("\n");
}

TEST(MainFrame, MenuBarHoldsEveryCommandWithItsKey) {
    FrameFixture f;
    auto frame = f.makeFrame();
    EXPECT_EQ(menuOutline(frame->menuBar()).toStdString(),
              "ファイル(&F): インポート(&O)... [Ctrl+O] | エクスポート(&S) [Ctrl+S] | - | "
              "印刷(&P)... [Ctrl+P] | 印刷ﾌﾟﾚﾋﾞｭｰ(&V) | - | プラント表示(&L)... | - | "
              "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X) [Ctrl+Q]\n"
              "編集(&E): ｺﾋﾟｰ(&P) Ctrl + C | 貼り付け Ctrl + P\n"
              "Bank(&B): Bank編集破棄 | Bank書込み | Bank消去 | Bankｺﾋﾟｰ\n"
              "設定(&S): 通信設定(&C) | 環境設定(&G) | 変更履歴(&J)...\n"
              "表示(&V): ﾂｰﾙ ﾊﾞｰ(&T) (check) | Bank ﾊﾞｰ(&B) (check) | ﾀﾞｲｱﾛｸﾞﾊﾞｰ(&D) (check) | "
              "ｽﾃｰﾀｽ ﾊﾞｰ(&S) (check)\n"
              "ヘルプ(&H): ヘルプ [Ctrl+H] | ユーザーズマニュアル(&U) [Ctrl+U] | - | "
              "ﾊﾞｰｼﾞｮﾝ情報(&A)...");
    // Keys without an item of their own: print setup has none; Ctrl+X and Ctrl+Z are taken
    // and do nothing; copy and paste are window keys that ask the rule first.
    EXPECT_TRUE(frame->action(kCmdPrintSetup)->shortcut().isEmpty());
    EXPECT_EQ(frame->action(kCmdCut)->shortcut(), QKeySequence("Ctrl+X"));
    EXPECT_EQ(frame->action(kCmdUndo)->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_FALSE(frame->action(kCmdCut)->isEnabled());
    QStringList windowKeys;
    for (QShortcut* s : frame->findChildren<QShortcut*>()) {
        windowKeys << s->key().toString();
    }
    windowKeys.sort();
    EXPECT_EQ(windowKeys.join(",").toStdString(), "Ctrl+C,Ctrl+V");
}

TEST(MainFrame, LockingTheMenuShowsTheWaitWindow) {
    FrameFixture f;
    auto frame = f.makeFrame();
    frame->show();
    frame->lockMenu(CMainFrame::kLockWriting);
    for (QAction* top : frame->menuBar()->actions()) {
        EXPECT_FALSE(top->isEnabled()) << top->text().toStdString();
    }
    EXPECT_FALSE(frame->commandsAllowed());
    EXPECT_FALSE(frame->action(kCmdAbout)->isEnabled());
    EXPECT_TRUE(frame->progressDialog()->isVisible());
    EXPECT_EQ(frame->progressDialog()->text(), "データ書込み中\n\nしばらくお待ちください");
    frame->lockMenu(CMainFrame::kLockReading);
    EXPECT_EQ(frame->progressDialog()->text(), "データ読込み中\n\nしばらくお待ちください");

    frame->lockMenu(CMainFrame::kUnlock);
    for (QAction* top : frame->menuBar()->actions()) {
        EXPECT_TRUE(top->isEnabled());
    }
    EXPECT_FALSE(frame->progressDialog()->isVisible());
    EXPECT_TRUE(frame->action(kCmdAbout)->isEnabled());
    EXPECT_TRUE(frame->action(kCmdExit)->isEnabled());
    EXPECT_TRUE(frame->action(kCmdImport)->isEnabled());
    // With the current values shown there is no bank to write, in the menu or on the bar.
    EXPECT_FALSE(frame->action(kCmdBankWrite)->isEnabled());
    EXPECT_FALSE(frame->bankBar()->button(CBankDialogBar::Write)->isEnabled());
}

TEST(MainFrame, InformationBarShowsTheConnectedSensors) {
    FrameFixture f;
    auto frame = f.makeFrame();
    CInfoDialogBar* info = frame->infoBar();
    EXPECT_EQ(info->fieldText(0), "40");
    EXPECT_EQ(info->fieldText(1), "15mm");
    EXPECT_EQ(info->fieldText(2), "32");
    EXPECT_EQ(info->fieldText(3), "30mm");
    EXPECT_TRUE(info->channelShown(2));
    EXPECT_FALSE(info->channelShown(3));
    f.model.working().general.jointNum = 1;
    frame->updateInfoLayout();
    EXPECT_FALSE(info->channelShown(2));
    f.model.working().general.jointNum = 3;
    frame->updateInfoLayout();
    EXPECT_TRUE(info->channelShown(3));

    // A monitoring page names the sensor it reads: its heading is marked and its values
    // written again.
    EXPECT_FALSE(info->channelMarked(1));
    f.model.working().channel(1).beamCount = 24;
    f.state.announceShownChannel(1);
    EXPECT_TRUE(info->channelMarked(1));
    EXPECT_FALSE(info->channelMarked(0));
    EXPECT_EQ(info->fieldText(2), "24");
    EXPECT_EQ(info->findChild<QLabel*>("ch2_heading")->accessibleDescription(), "表示中");
    // All sensors mark every heading.
    f.state.announceShownChannel(3);
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_TRUE(info->channelMarked(ch)) << ch;
    }
    f.state.announceShownChannel(0);
    EXPECT_TRUE(info->channelMarked(0));
    EXPECT_FALSE(info->channelMarked(1));
    EXPECT_TRUE(info->findChild<QLabel*>("ch2_heading")->accessibleDescription().isEmpty());
}

TEST(MainFrame, ClockAndSettingsListPagesSwitchTheirCommands) {
    FrameFixture f;
    auto frame = f.makeFrame();
    CLeftPaneView* tree = frame->tree();
    CToolDialogBar* tools = frame->toolBar();
    tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::Clock, 0));
    EXPECT_TRUE(frame->commandContext().pageLock);
    EXPECT_FALSE(tools->buttonState(CToolDialogBar::Import));
    EXPECT_FALSE(tools->buttonState(CToolDialogBar::Export));
    EXPECT_LE(frame->rightPane()->splitterView()->commandRowHeight(), 1);

    tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::SettingsList, 0));
    EXPECT_FALSE(frame->commandContext().pageLock);
    EXPECT_TRUE(tools->buttonState(CToolDialogBar::Import));
    EXPECT_TRUE(tools->buttonState(CToolDialogBar::Copy));
    EXPECT_TRUE(tools->buttonState(CToolDialogBar::Print));
    EXPECT_TRUE(frame->commandContext().printEnabled);

    tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::ErrorLog, 0));
    EXPECT_FALSE(tools->buttonState(CToolDialogBar::Copy));
    EXPECT_FALSE(frame->commandContext().printEnabled);
}

TEST(MainFrame, ToolBarButtonsFollowTheRulesOfTheirMenuItems) {
    FrameFixture f;
    auto frame = f.makeFrame();
    frame->show();
    frame->lockMenu(CMainFrame::kUnlock);
    QApplication::setActiveWindow(frame.get());
    auto* edit = new QLineEdit(frame->infoBar());  // an edit box of a page
    edit->show();
    edit->setFocus();
    QApplication::clipboard()->setText("12");
    CToolDialogBar* tools = frame->toolBar();
    const std::pair<CToolDialogBar::Button, int> buttons[] = {
        {CToolDialogBar::Import, kCmdImport},
        {CToolDialogBar::Export, kCmdExport},
        {CToolDialogBar::Paste, kCmdPaste},
    };
    auto expectBoth = [&](const std::string& when, bool enabled) {
        frame->updateCommandStates();
        for (const auto& [button, command] : buttons) {
            SCOPED_TRACE(when + " " + frame->action(command)->text().toStdString());
            EXPECT_EQ(frame->action(command)->isEnabled(), enabled);
            EXPECT_EQ(tools->button(button)->isEnabled(), enabled);
        }
    };
    expectBoth("idle", true);

    // Continuous update: the page greys its own controls, the frame its commands.
    f.state.setContinuousMonitoring(true);
    edit->setEnabled(false);
    expectBoth("continuous update", false);
    f.state.setContinuousMonitoring(false);
    edit->setEnabled(true);
    edit->setFocus();
    expectBoth("after continuous update", true);
    f.state.setCommBusy(true);
    frame->updateCommandStates();
    EXPECT_FALSE(tools->button(CToolDialogBar::Import)->isEnabled());
    EXPECT_FALSE(tools->button(CToolDialogBar::Export)->isEnabled());
    f.state.setCommBusy(false);

    // Reached with Tab, the paste button still pastes into the edit the user left.
    tools->button(CToolDialogBar::Paste)->setFocus();
    frame->updateCommandStates();
    ASSERT_TRUE(tools->button(CToolDialogBar::Paste)->isEnabled());
    QTest::keyClick(tools->button(CToolDialogBar::Paste), Qt::Key_Space);
    EXPECT_EQ(edit->text(), "12");
    edit->setReadOnly(true);
    frame->updateCommandStates();
    EXPECT_FALSE(tools->button(CToolDialogBar::Paste)->isEnabled());
    EXPECT_FALSE(frame->action(kCmdPaste)->isEnabled());
}

// How dark a picture looks: the darkness of its pixels, weighed by their opacity.
double darkness(const QPixmap& picture) {
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum += qAlpha(p) / 255.0 * (255 - qGray(p)) / 255.0;
        }
    }
    return sum;
}

// A greyed bar button greys its picture too, dark pictures included, not only its label.
TEST(MainFrame, GreyedBarButtonsGreyTheirPictures) {
    FrameFixture f;
    auto frame = f.makeFrame();
    std::vector<QToolButton*> buttons;
    for (QToolBar* bar :
         {static_cast<QToolBar*>(frame->toolBar()), static_cast<QToolBar*>(frame->bankBar())}) {
        for (CPictureButton* b : bar->findChildren<CPictureButton*>()) {
            buttons.push_back(b);
        }
    }
    ASSERT_EQ(buttons.size(), 9u);
    for (QToolButton* b : buttons) {
        SCOPED_TRACE(b->text().toStdString());
        const double normal = darkness(b->icon().pixmap(b->iconSize(), QIcon::Normal));
        const double greyed = darkness(b->icon().pixmap(b->iconSize(), QIcon::Disabled));
        EXPECT_GT(normal, 0.0);
        EXPECT_LT(greyed, normal * 0.6);
    }
}

TEST(MainFrame, ClosingIsRefusedWhileBusyOrWhenTheBankEditsAreKept) {
    FrameFixture f;
    f.model.storedSet(1).compatible = 1;
    f.model.storedSet(1).loaded = 1;
    auto frame = f.makeFrame();
    frame->show();
    frame->lockMenu(CMainFrame::kUnlock);  // as once the splash has gone
    f.state.setCommBusy(true);
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    f.state.setCommBusy(false);

    // Bank 1 holds applied edits: the close button and Ctrl+Q bring the editing dialog, and
    // Cancel keeps the program.
    frame->tree()->tree()->setCurrentItem(frame->tree()->rootItem(1));
    ASSERT_EQ(f.model.selectedSet(), 1);
    f.model.storedSet(1).edited = 1;
    const std::function<void()> closings[] = {
        [&] { EXPECT_FALSE(frame->close()); },
        [&] {
            QApplication::setActiveWindow(frame.get());
            QTest::keyClick(frame.get(), Qt::Key_Q, Qt::ControlModifier);
        },
    };
    for (const auto& close : closings) {
        ModalAnswerer cancel(false);
        close();
        settle();
        ASSERT_EQ(cancel.texts().size(), 1u);
        EXPECT_EQ(cancel.texts()[0], "CBankEditDlg");
        EXPECT_TRUE(frame->isVisible());
    }
    // "破棄する" (preselected) lets it close and clears the edits.
    ModalAnswerer discard(true);
    closings[1]();
    settle();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(f.model.storedSet(1).edited, 0);
}

TEST(MainFrame, FirstStartOpensWithinTheScreenAndToolButtonsExplainThemselves) {
    FrameFixture f;
    auto frame = f.makeFrame();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(frame->geometry()));
    EXPECT_LE(frame->minimumWidth(), screen.width());
    EXPECT_LE(frame->minimumHeight(), screen.height());
    // The tree is wide enough for every label, every branch open.
    frame->show();
    settle();
    QTreeWidget* tree = frame->tree()->tree();
    tree->expandAll();
    settle();
    const QFontMetrics metrics(tree->font());
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
        const QRect cell = tree->visualItemRect(*it);
        const int textEnd =
            cell.x() + tree->iconSize().width() + metrics.horizontalAdvance((*it)->text(0));
        EXPECT_LE(textEnd, tree->viewport()->width()) << (*it)->text(0).toStdString();
    }
    for (QToolButton* b : frame->toolBar()->findChildren<QToolButton*>()) {
        if (b->isVisible() || !b->text().isEmpty()) {
            EXPECT_FALSE(b->toolTip().isEmpty()) << b->text().toStdString();
        }
    }
}

TEST(MainFrame, CommunicationSettingsFirstGuardAppliedBankEdits) {
    FrameFixture f;
    f.model.storedSet(0).compatible = 1;
    f.model.storedSet(1).compatible = 1;
    f.model.storedSet(1).loaded = 1;
    auto frame = f.makeFrame();
    int dialogsRun = 0;
    frame->setConnectionHooks({[&] { ++dialogsRun; }, [] { return true; }});
    frame->tree()->tree()->setCurrentItem(frame->tree()->rootItem(1));
    ASSERT_EQ(f.model.selectedSet(), 1);

    frame->applyCommunicationSettings();  // nothing unwritten: straight to the dialog
    EXPECT_EQ(dialogsRun, 1);

    f.model.storedSet(1).edited = 1;
    {
        ModalAnswerer cancel(false);
        frame->applyCommunicationSettings();
        settle();
        ASSERT_EQ(cancel.texts().size(), 1u);
        EXPECT_EQ(cancel.texts()[0], "CBankEditDlg");
    }
    EXPECT_EQ(dialogsRun, 1);  // refused: the edits stay and no other port is chosen
    EXPECT_EQ(f.model.storedSet(1).edited, 1);
}

TEST(MainFrame, DebugLayoutHasTheTracePane) {
    FrameFixture normal;
    EXPECT_EQ(normal.makeFrame()->debugView(), nullptr);
    FrameFixture debug(std::string(), true);
    auto frame = debug.makeFrame();
    ASSERT_NE(frame->debugView(), nullptr);
    EXPECT_NE(frame->findChild<QSplitter*>("debugSplitter"), nullptr);
}

}  // namespace
}  // namespace qavix::test
