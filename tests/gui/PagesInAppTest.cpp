// The built pages inside the whole program against the built-in emulator: the frame's wait
// window and command flags follow the pages.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QTableWidget>
#include <algorithm>
#include <memory>

#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "app/CQavixApp.h"
#include "frame/CBankDialogBar.h"
#include "frame/CInfoDialogBar.h"
#include "frame/CLeftPaneView.h"
#include "frame/CNaviView.h"
#include "frame/CProgressDlg.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CSplitterView.h"
#include "frame/CToolDialogBar.h"
#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "pages/CView013.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

// The whole program on the built-in emulator, without its splash.
class PagesInApp : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(writeIni(QByteArray(kNoSplash) + "[Qavix_Section]\r\nInterval=50\r\n"));
        setenv("QAVLINK_COM1", "sim", 1);
        app = std::make_unique<CQavixApp>(options());
        ASSERT_TRUE(app->start());
        frame = app->mainFrame();
        tree = frame->tree();
        pane = frame->rightPane()->splitterView();
    }
    void TearDown() override {
        if (app) {
            app->shutdown();
        }
        AppFixture::TearDown();
    }

    std::unique_ptr<CQavixApp> app;
    CMainFrame* frame = nullptr;
    CLeftPaneView* tree = nullptr;
    CSplitterView* pane = nullptr;
};

TEST_F(PagesInApp, BasicInformationAndClockPagesUseTheFrame) {
    tree->tree()->setCurrentItem(tree->findItem(ItemKind::BasicInfo, 0));
    settle();
    auto* basic = static_cast<CView001*>(pane->view(nav::kViewPage001));
    EXPECT_EQ(basic->idBox()->text(), "000101");
    EXPECT_EQ(basic->box(3)->text(), "0300920");
    EXPECT_FALSE(frame->progressDialog()->isVisible());
    EXPECT_TRUE(frame->commandsAllowed());
    EXPECT_FALSE(app->state().commBusy());
    auto* bar = static_cast<CCommandDlg*>(pane->view(nav::kViewCommandDlg));
    EXPECT_EQ(bar->titleText(), "ｺﾝﾄﾛｰﾗ基本情報");
    EXPECT_TRUE(bar->writeButton()->isVisible());

    tree->tree()->setCurrentItem(tree->findItem(ItemKind::Clock, 0));
    settle();
    auto* clock = static_cast<CView013*>(pane->view(nav::kViewPage013));
    EXPECT_TRUE(clock->active());
    EXPECT_EQ(clock->refreshPeriod(), 50);
    EXPECT_FALSE(frame->commandsAllowed());
    EXPECT_FALSE(bar->writeButton()->isVisible());
    EXPECT_TRUE(waitUntil([&] { return clock->controllerDisplay()->hasValue(); }, 3000));

    tree->tree()->setCurrentItem(tree->findItem(ItemKind::BasicInfo, 0));
    settle();
    EXPECT_FALSE(clock->active());
    EXPECT_TRUE(frame->commandsAllowed());
}

// No page decides how narrow the window may be, shown or hidden: a page wider than its row
// scrolls there, so the widest page does not keep the window wider than a small screen.
TEST_F(PagesInApp, TheRightPaneAsksForNoPagesRoom) {
    auto minimumWidthOn = [&](ItemKind kind) {
        tree->tree()->setCurrentItem(tree->findItem(kind, 0));
        settle();
        const int own = pane->currentPage()->minimumSizeHint().width();
        return std::make_pair(pane->minimumSizeHint().width(), own);
    };
    int widestPane = 0;
    int widestPage = 0;
    for (ItemKind kind :
         {ItemKind::BasicInfo, ItemKind::LevelGraph, ItemKind::LevelList, ItemKind::ScanMonitor,
          ItemKind::Pio, ItemKind::OverallJudgement, ItemKind::ParallelOutput,
          ItemKind::GroupJudgement, ItemKind::Clock, ItemKind::SettingsList, ItemKind::ErrorLog}) {
        const auto [paneMinimum, page] = minimumWidthOn(kind);
        widestPane = std::max(widestPane, paneMinimum);
        widestPage = std::max(widestPage, page);
    }
    // Only the command bars, which wrap, ask the pane for width.
    EXPECT_LT(widestPane, widestPage);
}

// What a screen reader reaches from the window: item views (by the widget that holds them)
// and the controls that carry no name.
struct AccessibleWalk {
    std::vector<QWidget*> views;
    std::vector<std::string> unnamed;

    void visit(QAccessibleInterface* a, int depth = 0) {
        if (a == nullptr || depth > 40) {
            return;
        }
        QWidget* w = a->object() != nullptr && a->object()->isWidgetType()
                         ? static_cast<QWidget*>(a->object())
                         : nullptr;
        // A drop-down's list is a popup of its own, open or not: it goes with its drop-down.
        if (w != nullptr && a->tableInterface() != nullptr) {
            auto* dropDown = qobject_cast<QComboBox*>(w->window()->parentWidget());
            views.push_back(dropDown != nullptr ? dropDown : w);
        }
        static const QAccessible::Role named[] = {
            QAccessible::PushButton, QAccessible::CheckBox,    QAccessible::RadioButton,
            QAccessible::ComboBox,   QAccessible::Tree,        QAccessible::Table,
            QAccessible::List,       QAccessible::EditableText};
        if (w != nullptr && !a->state().invisible &&
            std::find(std::begin(named), std::end(named), a->role()) != std::end(named) &&
            a->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed.push_back(w->metaObject()->className() + std::string(" ") +
                              w->objectName().toStdString());
        }
        for (int i = 0; i < a->childCount(); ++i) {
            visit(a->child(i), depth + 1);
        }
    }
};

TEST_F(PagesInApp, AScreenReaderReachesOnlyTheShownPageAndEveryControlHasAName) {
    // A page with a list, then another page in front of it.
    tree->tree()->setCurrentItem(tree->findItem(ItemKind::Pio, 0));
    settle();
    QWidget* pioList = pane->currentPage()->findChild<QTableWidget*>();
    ASSERT_NE(pioList, nullptr);
    tree->tree()->setCurrentItem(tree->findItem(ItemKind::BasicInfo, 0));
    settle();
    ASSERT_FALSE(pioList->isVisible());

    AccessibleWalk walk;
    walk.visit(QAccessible::queryAccessibleInterface(frame));
    EXPECT_NE(std::find(walk.views.begin(), walk.views.end(), tree->tree()), walk.views.end());
    for (QWidget* view : walk.views) {
        EXPECT_TRUE(view->isVisible()) << view->metaObject()->className() << " "
                                       << view->parentWidget()->objectName().toStdString();
    }
    EXPECT_EQ(walk.unnamed, std::vector<std::string>{});
    EXPECT_EQ(QAccessible::queryAccessibleInterface(tree->tree())->text(QAccessible::Name),
              "ナビゲーション");
    // The bars are called as the View menu calls them, not "ツール Dialog".
    const std::vector<std::pair<QWidget*, QString>> bars = {
        {frame->toolBar(), "ﾂｰﾙ ﾊﾞｰ"},
        {frame->bankBar(), "Bank ﾊﾞｰ"},
        {frame->infoBar(), "インフォメーション"}};
    for (const auto& [bar, name] : bars) {
        EXPECT_EQ(QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Name), name);
    }

    // The navigation view's picture links.
    tree->tree()->setCurrentItem(tree->rootItem(kCurrentSet));
    settle();
    CNaviView* navi = frame->rightPane()->naviView();
    ASSERT_TRUE(navi->isVisible());
    AccessibleWalk board;
    board.visit(QAccessible::queryAccessibleInterface(frame));
    EXPECT_EQ(board.unnamed, std::vector<std::string>{});
    EXPECT_EQ(navi->linkButton(CNaviView::kLinkProductsPicture)->accessibleName(),
              CNaviView::kProductsPictureName);
    EXPECT_EQ(navi->linkButton(CNaviView::kLinkHome)->accessibleName(), CNaviView::kHomeName);
}

}  // namespace
}  // namespace qavix::test
