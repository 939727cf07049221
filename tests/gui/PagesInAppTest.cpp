// The built pages inside the whole program against the built-in emulator: the frame's wait
// window and command flags follow the pages.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "app/CQavixApp.h"
#include "frame/CLeftPaneView.h"
#include "frame/CProgressDlg.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CSplitterView.h"
#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "pages/CView013.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

// The whole program on the built-in emulator, without its splash.
class PagesInApp : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(
            writeIni(dir.path(), "[Option]\r\nSplash=0\r\n[Qavix_Section]\r\nInterval=50\r\n"));
        setenv("QAVLINK_COM1", "sim", 1);
        AppOptions o = appOptions(dir.path());
        o.commTimings.resetSettle = std::chrono::milliseconds(0);
        app = std::make_unique<CQavixApp>(o);
        ASSERT_TRUE(app->start());
        frame = app->mainFrame();
        tree = frame->tree();
        pane = frame->rightPane()->splitterView();
    }
    void TearDown() override {
        if (app) {
            app->shutdown();
        }
        unsetenv("QAVLINK_COM1");
    }

    QTemporaryDir dir;
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

// A page hidden behind another must not decide how narrow the window may be: else the
// widest page keeps the window wider than a small screen on every page.
TEST_F(PagesInApp, TheRightPaneAsksOnlyForTheRoomOfTheShownPage) {
    auto minimumWidthOn = [&](ItemKind kind) {
        tree->tree()->setCurrentItem(tree->findItem(kind, 0));
        settle();
        const int own = pane->currentPage()->minimumSizeHint().width();
        return std::make_pair(pane->minimumSizeHint().width(), own);
    };
    int widest = 0;
    for (ItemKind kind : {ItemKind::BasicInfo, ItemKind::LevelGraph, ItemKind::LevelList,
                          ItemKind::ScanMonitor, ItemKind::Pio, ItemKind::OverallJudgement,
                          ItemKind::ParallelOutput, ItemKind::GroupJudgement, ItemKind::Options,
                          ItemKind::Clock, ItemKind::SettingsList, ItemKind::ErrorLog}) {
        widest = std::max(widest, minimumWidthOn(kind).first);
    }
    const auto [paneOnClock, clockPage] = minimumWidthOn(ItemKind::Clock);
    EXPECT_LT(paneOnClock, widest);
    EXPECT_GE(paneOnClock, clockPage);
}

}  // namespace
}  // namespace qavix::test
