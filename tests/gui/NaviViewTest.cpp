// The navigation view: which groups and labels each folder shows under the switches, a
// click selecting the tree's item (and nothing while busy), the web links following the
// Browser setting, and the header animations running only while the view is shown.

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QMovie>
#include <QTest>
#include <algorithm>

#include "GuiTestSupport.h"
#include "frame/CLeftPaneView.h"
#include "frame/CNaviView.h"
#include "frame/CRightPaneFrame.h"
#include "frame/NaviBoard.h"
#include "widgets/CPictureButton.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

nav::TreeShape shapeWith(int sensors, bool extended = false) {
    nav::TreeShape s;
    s.sensorCount = sensors;
    s.bankFunction = true;
    s.extended = extended;
    s.overallJudgement = true;
    s.parallelOutput = true;
    s.groupJudgement = true;
    return s;
}

bool containsText(const std::vector<std::string>& labels, const std::string& suffix) {
    return std::any_of(labels.begin(), labels.end(), [&](const std::string& l) {
        return l.size() >= suffix.size() &&
               l.compare(l.size() - suffix.size(), suffix.size(), suffix) == 0;
    });
}

TEST(NaviBoard, SensorFoldersShowTheirGroups) {
    EXPECT_EQ(nav::groupsShown(1, 1), (std::vector<int>{nav::kBoardCh1}));
    EXPECT_EQ(nav::groupsShown(1, 2), (std::vector<int>{nav::kBoardCh1, nav::kBoardCh2}));
    EXPECT_EQ(nav::groupsShown(1, 3).size(), 3u);
    EXPECT_EQ(nav::groupsShown(2, 2), (std::vector<int>{nav::kBoardCh1, nav::kBoardCh2}));
    EXPECT_EQ(nav::groupsShown(2, 3).size(), 3u);
    EXPECT_EQ(nav::groupsShown(3, 3).size(), 3u);
    EXPECT_EQ(nav::groupsShown(0, 3), (std::vector<int>{nav::kBoardCurrent}));
    for (int bank = 1; bank <= 4; ++bank) {
        EXPECT_EQ(nav::groupsShown(3 + bank, 2), (std::vector<int>{3 + bank}));
        EXPECT_EQ(nav::boardGroups()[static_cast<size_t>(3 + bank)].set, bank);
    }
    EXPECT_TRUE(nav::groupsShown(8, 3).empty());
    EXPECT_EQ(nav::shownLabels(shapeWith(1), 1), (std::vector<std::string>{"センサ CH1/動作設定"}));
    EXPECT_EQ(nav::shownLabels(shapeWith(1, true), 1),
              (std::vector<std::string>{"センサ CH1/動作設定", "センサ CH1/受光レベルグラフ"}));
}

TEST(NaviBoard, SwitchesHideTheirLabelsInEveryGroup) {
    struct Case {
        void (*change)(nav::TreeShape&);
        const char* hidden;
    };
    const Case cases[] = {
        {[](nav::TreeShape& s) { s.overallJudgement = false; }, "総合ON/OFF判定"},
        {[](nav::TreeShape& s) { s.parallelOutput = false; }, "パラレル出力"},
        {[](nav::TreeShape& s) { s.groupJudgement = false; }, "グループ判定"},
        {[](nav::TreeShape& s) { s.extended = false; }, "オプション設定"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hidden);
        nav::TreeShape on = shapeWith(2, true);
        nav::TreeShape off = on;
        c.change(off);
        for (int kind : {0, 4, 5, 6, 7}) {
            EXPECT_TRUE(containsText(nav::shownLabels(on, kind), c.hidden)) << kind;
            EXPECT_FALSE(containsText(nav::shownLabels(off, kind), c.hidden)) << kind;
            // Nothing else goes with it (extended mode also has the per-sensor pages of a bank).
            const size_t extra = std::string(c.hidden) == "オプション設定" && kind >= 4 ? 2 : 0;
            EXPECT_EQ(nav::shownLabels(on, kind).size(),
                      nav::shownLabels(off, kind).size() + 1 + extra);
        }
    }
    // All three switches off: the measurement section goes.
    nav::TreeShape none = shapeWith(1);
    none.overallJudgement = none.parallelOutput = none.groupJudgement = false;
    EXPECT_FALSE(containsText(nav::shownLabels(none, 0), "計測処理/パラレル出力"));
    EXPECT_EQ(nav::shownLabels(none, 0).size(), 8u);  // 表示 6, P-I/O, 時計
}

TEST(NaviBoard, BankGroupsFollowTheirSensorsAndIds) {
    const auto two = nav::shownLabels(shapeWith(2, true), 5);
    EXPECT_TRUE(containsText(two, "センサ CH2/動作設定"));
    EXPECT_FALSE(containsText(two, "センサ CH3/動作設定"));
    EXPECT_EQ(two.front(), "Ｂａｎｋ２/コントローラ/しきい値設定");
    // Label ids of each bank run from its first id in the fixed order; the option label
    // follows the group judgement label.
    const int firsts[] = {1080, 1108, 1122, 1152};
    for (int b = 1; b <= 4; ++b) {
        std::vector<int> ids;
        for (const auto& section : nav::boardGroups()[static_cast<size_t>(3 + b)].sections) {
            for (const auto& l : section.labels) {
                ids.push_back(l.id);
                if (l.text == "オプション設定") {
                    EXPECT_EQ(l.id, firsts[b - 1] + 5);
                }
                if (l.text == "グループ判定") {
                    EXPECT_EQ(l.id, firsts[b - 1] + 4);
                }
            }
        }
        std::sort(ids.begin(), ids.end());
        ASSERT_EQ(ids.size(), 13u);
        EXPECT_EQ(ids.front(), firsts[b - 1]);
        EXPECT_EQ(ids.back(), firsts[b - 1] + 12);
    }
}

struct NaviFixture : ::testing::Test {
    std::unique_ptr<CMainFrame> frame(int sensors, bool extended = false) {
        f = std::make_unique<FrameFixture>(std::string(), false, extended);
        f->model.working().general.jointNum = sensors;
        f->model.storedSet(kCurrentSet).general.jointNum = sensors;
        f->model.storedSet(2).compatible = 1;
        f->model.storedSet(2).loaded = 1;
        return f->makeFrame();
    }
    std::unique_ptr<FrameFixture> f;
};

TEST_F(NaviFixture, OneSensorShowsOnlyTheFirstSensorGroup) {
    auto w = frame(1);
    CNaviView* navi = w->rightPane()->naviView();
    w->tree()->tree()->setCurrentItem(w->tree()->findItem(ItemKind::Sensor, 0, 1));
    EXPECT_TRUE(w->rightPane()->showsNaviView());
    EXPECT_EQ(navi->navigationKind(), 1);
    EXPECT_EQ(navi->groupHeaders(), QStringList{"センサ CH1"});
    EXPECT_EQ(navi->labels(), QStringList{"動作設定"});
}

TEST_F(NaviFixture, SwitchesAndExtendedModeHideLabels) {
    auto w = frame(2);
    f->model.working().general.grpCnf = 0;
    CNaviView* navi = w->rightPane()->naviView();
    navi->setNavigationKind(0);
    EXPECT_EQ(navi->groupHeaders(), QStringList{"コントローラ"});
    EXPECT_FALSE(navi->labels().contains("グループ判定"));
    EXPECT_TRUE(navi->labels().contains("総合ON/OFF判定"));
    EXPECT_FALSE(navi->labels().contains("オプション設定"));
    EXPECT_FALSE(navi->labelWidget(1069)->isVisibleTo(navi));
    navi->setNavigationKind(5);
    EXPECT_EQ(navi->groupHeaders(), QStringList{"Ｂａｎｋ２"});
    EXPECT_FALSE(navi->labels().contains("グループ判定"));
    EXPECT_FALSE(navi->labels().contains("オプション設定"));

    auto extended = frame(2, true);
    CNaviView* navi2 = extended->rightPane()->naviView();
    navi2->setNavigationKind(0);
    EXPECT_TRUE(navi2->labels().contains("オプション設定"));
    EXPECT_TRUE(navi2->labels().contains("グループ判定"));
}

TEST_F(NaviFixture, AClickSelectsTheTreeItemUnlessBusy) {
    auto w = frame(2);
    CNaviView* navi = w->rightPane()->naviView();
    QTreeWidget* tree = w->tree()->tree();
    QTreeWidgetItem* root = tree->currentItem();
    ASSERT_EQ(root, w->tree()->rootItem(0));

    f->state.setCommBusy(true);
    navi->activateLabel(1097);  // エラーログ
    EXPECT_EQ(tree->currentItem(), root);
    EXPECT_TRUE(w->rightPane()->showsNaviView());
    f->state.setCommBusy(false);

    navi->activateLabel(1097);
    EXPECT_EQ(tree->currentItem(), w->tree()->findItem(ItemKind::ErrorLog, 0));
    EXPECT_EQ(w->tree()->pageIndex(), nav::kPageErrorLog);
    EXPECT_FALSE(w->rightPane()->showsNaviView());

    // A sensor's label selects that sensor's page.
    navi->activateLabel(1074);  // CH2 動作設定
    EXPECT_EQ(w->tree()->pageIndex(), nav::kPageSensorOperation);
    EXPECT_EQ(w->tree()->selectedChannel(), 2);

    // A real mouse click goes the same way.
    navi->setNavigationKind(0);
    QAbstractButton* basic = navi->labelWidget(1062);
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, basic->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, basic->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(basic, &press);
    QApplication::sendEvent(basic, &release);
    EXPECT_EQ(w->tree()->pageIndex(), nav::kPageBasicInfo);
}

// The board is used from the keyboard too: Tab moves from page label to page label, and
// Enter or Space opens the page, as a click does.
TEST_F(NaviFixture, LabelsAreReachedAndPressedFromTheKeyboard) {
    auto w = frame(2);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    CNaviView* navi = w->rightPane()->naviView();
    ASSERT_TRUE(w->rightPane()->showsNaviView());
    QAbstractButton* basic = navi->labelWidget(1062);
    basic->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(basic->hasFocus());
    QTest::keyClick(basic, Qt::Key_Tab);
    EXPECT_TRUE(navi->labelWidget(1063)->hasFocus());
    QTest::keyClick(navi->labelWidget(1063), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(basic->hasFocus());
    QTest::keyClick(basic, Qt::Key_Return);
    EXPECT_EQ(w->tree()->pageIndex(), nav::kPageBasicInfo);

    w->tree()->tree()->setCurrentItem(w->tree()->rootItem(0));
    ASSERT_TRUE(w->rightPane()->showsNaviView());
    navi->labelWidget(1097)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(navi->labelWidget(1097), Qt::Key_Space);
    EXPECT_EQ(w->tree()->pageIndex(), nav::kPageErrorLog);
}

TEST_F(NaviFixture, WebLinksFollowTheBrowserSetting) {
    auto w = frame(1);
    CNaviView* navi = w->rightPane()->naviView();
    f->state.user.webAddr = "https://example.org/products";
    f->state.user.homeAddr = "https://example.org/";
    f->state.user.browser = 1;
    w->applyUserSettings();
    EXPECT_EQ(navi->linkTarget(CNaviView::kLinkProducts), "https://example.org/products");
    EXPECT_EQ(navi->linkTarget(CNaviView::kLinkProductsPicture), "https://example.org/products");
    EXPECT_EQ(navi->linkTarget(CNaviView::kLinkHome), "https://example.org/");
    EXPECT_EQ(navi->linkButton(CNaviView::kLinkHome)->toolTip(), "https://example.org/");
    EXPECT_EQ(navi->linkButton(CNaviView::kLinkHome)->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(navi->linkButton(CNaviView::kLinkProducts)->text(), "製品のホームページ");

    f->state.user.browser = 0;
    w->applyUserSettings();
    int opened = 0;
    QObject::connect(navi, &CNaviView::linkOpened, [&] { ++opened; });
    for (int i = 0; i < CNaviView::kLinkCount; ++i) {
        EXPECT_TRUE(navi->linkTarget(i).isEmpty());
        EXPECT_TRUE(navi->linkButton(i)->toolTip().isEmpty());
        navi->linkButton(i)->click();
    }
    EXPECT_EQ(opened, 0);
}

TEST(NaviView, PicturesPlayOnlyWhileShown) {
    auto view = std::make_unique<CNaviView>([] { return shapeWith(3); });
    ASSERT_EQ(view->pictures().size(), 11u);
    for (QMovie* m : view->pictures()) {
        EXPECT_TRUE(m->isValid()) << m->fileName().toStdString();
        EXPECT_GT(m->frameCount(), 1);
        EXPECT_NE(m->state(), QMovie::Running);
    }
    view->resize(600, 500);
    view->show();
    settle();
    for (QMovie* m : view->pictures()) {
        EXPECT_EQ(m->state(), QMovie::Running);
    }
    view->hide();
    for (QMovie* m : view->pictures()) {
        EXPECT_EQ(m->state(), QMovie::NotRunning);
    }
    view->show();
    QPointer<QMovie> first = view->pictures().front();
    EXPECT_EQ(first->state(), QMovie::Running);
    view.reset();
    EXPECT_TRUE(first.isNull());
}

}  // namespace
}  // namespace qavix::test
