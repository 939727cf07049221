// The navigation tree and the right pane as widgets: the tree mirrors its rules, selections
// open pages, busy selections and refused set switches leave everything as it was.

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "frame/CLeftPaneView.h"
#include "frame/CNaviView.h"
#include "frame/CRightPaneFrame.h"
#include "pages/CPlaceholderView.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

struct TreeFixture : ::testing::Test {
    void SetUp() override {
        fillModel(model, 2);
        model.storedSet(2).compatible = 1;
        model.storedSet(2).loaded = 1;
        right = std::make_unique<CRightPaneFrame>(
            [this] { return nav::shapeOf(model, state.extendedMode); },
            [this] { return state.pageTitle; });
        tree = std::make_unique<CLeftPaneView>(state, banks, *right);
        tree->buildTree();
    }
    void select(QTreeWidgetItem* item) { tree->tree()->setCurrentItem(item); }
    QTreeWidgetItem* item(ItemKind kind, int set = 0, int channel = 0) {
        return tree->findItem(kind, set, channel);
    }

    DeviceModel model;
    SilentHost host;
    CCommLink link{host, model};
    Transactions transactions{link, model};
    CBankManager banks{model, transactions};
    AppState state{model};
    std::unique_ptr<CRightPaneFrame> right;
    std::unique_ptr<CLeftPaneView> tree;
};

void expectSame(QTreeWidgetItem* item, const nav::NavItem& expected) {
    SCOPED_TRACE(expected.text);
    EXPECT_EQ(item->text(0).toStdString(), expected.text);
    EXPECT_EQ(item->data(0, CLeftPaneView::kRoleImage).toInt(), expected.image);
    EXPECT_EQ(item->data(0, CLeftPaneView::kRolePage).toInt(), expected.page);
    EXPECT_EQ(item->data(0, CLeftPaneView::kRoleTitle).toString().toStdString(), expected.title);
    ASSERT_EQ(item->childCount(), static_cast<int>(expected.children.size()));
    for (int i = 0; i < item->childCount(); ++i) {
        expectSame(item->child(i), expected.children[static_cast<size_t>(i)]);
    }
}

TEST_F(TreeFixture, TheTreeHoldsWhatTheRulesSay) {
    const nav::TreeShape s = nav::shapeOf(model, false);
    const auto roots = nav::rootItems(s);
    ASSERT_EQ(tree->tree()->topLevelItemCount(), 5);
    nav::NavItem current = roots[0];
    current.children = nav::currentValuesChildren(s);
    expectSame(tree->tree()->topLevelItem(0), current);
    for (int b = 1; b <= 4; ++b) {
        expectSame(tree->tree()->topLevelItem(b), roots[static_cast<size_t>(b)]);
    }
    EXPECT_EQ(tree->tree()->currentItem(), tree->rootItem(0));
    EXPECT_TRUE(tree->rootItem(0)->isExpanded());
}

TEST_F(TreeFixture, SelectingAPageShowsItsBarPageAndTitle) {
    select(item(ItemKind::SensorOperation, 0, 2));
    EXPECT_EQ(tree->pageIndex(), nav::kPageSensorOperation);
    EXPECT_EQ(tree->selectedChannel(), 2);
    EXPECT_EQ(state.pageTitle, "CH2 動作設定");
    EXPECT_EQ(state.currentPage, 18);
    EXPECT_EQ(right->splitterView()->currentCommandBar()->mode(), 18);
    EXPECT_FALSE(right->showsNaviView());

    select(item(ItemKind::Sensor, 0, 2));
    EXPECT_TRUE(right->showsNaviView());
    EXPECT_EQ(right->naviView()->navigationKind(), 2);
    EXPECT_EQ(tree->selectedChannel(), 2);
}

TEST_F(TreeFixture, ASelectionWhileBusyKeepsThePreviousItem) {
    QTreeWidgetItem* basic = item(ItemKind::BasicInfo);
    select(basic);
    ASSERT_EQ(tree->pageIndex(), nav::kPageBasicInfo);

    state.editInProgress = true;
    select(item(ItemKind::ErrorLog));
    EXPECT_EQ(tree->tree()->currentItem(), basic);
    EXPECT_EQ(tree->pageIndex(), nav::kPageBasicInfo);
    EXPECT_EQ(right->splitterView()->currentPage()->className(), "CView001");

    state.editInProgress = false;
    state.setContinuousMonitoring(true);
    select(tree->rootItem(2));
    EXPECT_EQ(tree->tree()->currentItem(), basic);
    EXPECT_EQ(model.selectedSet(), kCurrentSet);

    state.setContinuousMonitoring(false);
    state.setCommBusy(true);
    EXPECT_FALSE(tree->isEnabled());
    state.setCommBusy(false);
    EXPECT_TRUE(tree->isEnabled());
}

TEST_F(TreeFixture, ARefusedSetSwitchLeavesTheTreeAsItWas) {
    QTreeWidgetItem* pio = item(ItemKind::Pio);
    select(pio);
    const int childrenBefore = tree->rootItem(0)->childCount();
    // Bank 3 holds no settings of this controller: the guard refuses without a word.
    ModalAnswerer answers;
    select(tree->rootItem(3));
    EXPECT_EQ(tree->tree()->currentItem(), pio);
    EXPECT_EQ(tree->rootItem(0)->childCount(), childrenBefore);
    EXPECT_EQ(tree->rootItem(3)->childCount(), 0);
    EXPECT_EQ(model.selectedSet(), kCurrentSet);
    EXPECT_TRUE(answers.texts().empty());

    // A page holding edits refuses with the editing message.
    model.working().pageEdited[4] = true;
    select(tree->rootItem(2));
    settle();
    EXPECT_EQ(tree->tree()->currentItem(), pio);
    EXPECT_EQ(tree->rootItem(2)->childCount(), 0);
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0],
              "現在値が編集中です。\n「書込み」又は「取消し」を行ってください。");
    // The next selection is handled normally.
    select(item(ItemKind::ErrorLog));
    EXPECT_EQ(tree->pageIndex(), nav::kPageErrorLog);
}

TEST_F(TreeFixture, SwitchingSetsMovesTheOpenSubtree) {
    select(item(ItemKind::ScanMonitor));
    select(tree->rootItem(2));
    EXPECT_EQ(model.selectedSet(), 2);
    EXPECT_EQ(tree->rootItem(0)->childCount(), 0);
    ASSERT_GT(tree->rootItem(2)->childCount(), 0);
    EXPECT_EQ(tree->tree()->currentItem(), tree->rootItem(2));
    EXPECT_TRUE(right->showsNaviView());
    EXPECT_EQ(right->naviView()->navigationKind(), 5);
    EXPECT_TRUE(right->splitterView()->view(13)->reloadPending());

    state.lastShownChannel = 0;
    select(item(ItemKind::BankThresholdList, 2));
    EXPECT_EQ(tree->selectedChannel(), 1);
    EXPECT_EQ(tree->selectedBank(), 2);
    EXPECT_EQ(state.pageTitle, "Bank2 コントローラ しきい値設定");
    EXPECT_EQ(right->splitterView()->currentCommandBar()->className(), "CListDlg");
    state.lastShownChannel = 2;
    select(item(ItemKind::Pio, 2));
    select(item(ItemKind::BankThresholdList, 2));
    EXPECT_EQ(tree->selectedChannel(), 2);

    select(tree->rootItem(0));
    EXPECT_EQ(model.selectedSet(), kCurrentSet);
    EXPECT_EQ(tree->rootItem(2)->childCount(), 0);
    EXPECT_EQ(tree->rootItem(0)->childCount(), 5);  // コントローラ, CH1, CH2, 設定一覧, エラーログ
}

TEST_F(TreeFixture, SelectingASetFromOutside) {
    // Left from a page of the current values, as a discarded or copied bank is shown.
    select(item(ItemKind::Pio));
    ASSERT_EQ(state.currentPage, nav::kPagePio);
    tree->selectSet(2);
    EXPECT_EQ(tree->rootItem(0)->childCount(), 0);
    EXPECT_GT(tree->rootItem(2)->childCount(), 0);
    EXPECT_EQ(tree->tree()->currentItem(), tree->rootItem(2));
    EXPECT_EQ(right->currentPageIndex(), nav::kPageNavigation);
    // The board is the bank's own, as when its root is clicked.
    EXPECT_EQ(right->naviView()->navigationKind(),
              tree->rootItem(2)->data(0, CLeftPaneView::kRoleNavKind).toInt());
    EXPECT_EQ(right->naviView()->groupHeaders(), QStringList{"Ｂａｎｋ２"});
    EXPECT_EQ(state.currentPage, nav::kPageNavigation);
    EXPECT_EQ(tree->pageIndex(), nav::kPageNavigation);
    tree->selectSet(0);
    EXPECT_EQ(tree->tree()->topLevelItemCount(), 5);
    EXPECT_GT(tree->rootItem(0)->childCount(), 0);
    EXPECT_EQ(tree->rootItem(2)->childCount(), 0);
}

TEST_F(TreeFixture, ActivationFollowsChangedSwitches) {
    select(item(ItemKind::BasicInfo));
    // The option page switched parallel output on and group judgement off.
    model.working().general.paraCnf = 2;
    model.working().general.grpCnf = 0;
    tree->refreshOnActivation();
    QTreeWidgetItem* folder = item(ItemKind::Measurement);
    ASSERT_NE(folder, nullptr);
    ASSERT_EQ(folder->childCount(), 2);
    EXPECT_EQ(folder->child(0)->text(0), "総合ON/OFF判定");
    EXPECT_EQ(folder->child(1)->text(0), "パラレル出力");

    // Bank function off: the bank roots go.
    model.working().general.bankFunction = 0;
    tree->refreshOnActivation();
    EXPECT_EQ(tree->tree()->topLevelItemCount(), 1);

    // A bank selected: its measurement items follow the switches.
    model.working().general.bankFunction = 0x10;
    tree->refreshOnActivation();
    ASSERT_EQ(tree->tree()->topLevelItemCount(), 5);
    select(tree->rootItem(2));
    ASSERT_EQ(model.selectedSet(), 2);
    model.working().general.allOnOffCnf = 0;
    model.working().general.paraCnf = 0;
    tree->refreshOnActivation();
    EXPECT_EQ(item(ItemKind::Measurement, 2), nullptr);
    EXPECT_NE(item(ItemKind::Pio, 2), nullptr);
}

// An item the right pane holds as selected is deleted when the switches change; the pane
// must forget it (the next set switch walks up from the selected item).
TEST_F(TreeFixture, DeletedItemsAreNotLeftSelectedInTheRightPane) {
    select(tree->rootItem(2));
    ASSERT_EQ(model.selectedSet(), 2);
    model.working().general.allOnOffCnf = 2;
    tree->refreshOnActivation();
    QTreeWidgetItem* folder = item(ItemKind::Measurement, 2);
    ASSERT_NE(folder, nullptr);
    select(folder);
    ASSERT_EQ(right->selectedItem(), folder);
    model.working().general.allOnOffCnf = 0;
    tree->refreshOnActivation();
    ASSERT_EQ(item(ItemKind::Measurement, 2), nullptr);
    EXPECT_EQ(right->selectedItem(), nullptr);
    select(tree->rootItem(0));
    EXPECT_EQ(model.selectedSet(), kCurrentSet);

    // Extended mode: the option item is put in again, but a busy tree keeps its selection.
    state.extendedMode = true;
    select(tree->rootItem(2));
    ASSERT_EQ(model.selectedSet(), 2);
    QTreeWidgetItem* options = item(ItemKind::Options, 2);
    ASSERT_NE(options, nullptr);
    select(options);
    ASSERT_EQ(right->selectedItem(), options);
    model.working().general.paraCnf = 2;
    state.setCommBusy(true);
    tree->refreshOnActivation();
    state.setCommBusy(false);
    EXPECT_EQ(right->selectedItem(), nullptr);
}

// Each page index shows its command bar and page, by the class names the pages keep.
TEST(RightPane, EveryPageIndexShowsItsBarAndPage) {
    struct Case {
        int page;
        const char* bar;
        const char* view;
    };
    const Case cases[] = {
        {3, "CCommandDlg", "CView001"},  {4, "CCommandDlg", "CView002"},
        {5, "CListDlg", "CView003"},     {6, "CMonitor", "CView004"},
        {7, "CSelectDlg", "CView005"},   {8, "CListDlg", "CView006"},
        {9, "CBrkCommand", "CView007"},  {10, "CCommandDlg", "CView008"},
        {11, "CCommandDlg", "CView009"}, {12, "CCommandDlg", "CView010"},
        {13, "CCommandDlg", "CView011"}, {14, "CCommandDlg", "CView012"},
        {15, "CCommandDlg", "CView013"}, {18, "CCommandDlg", "CView016"},
        {19, "CBrkCmdList", "CView017"},
    };
    QString title = "title";
    CRightPaneFrame right([] { return nav::TreeShape{}; }, [&] { return title; });
    right.resize(600, 400);
    right.show();
    int settingsListSignals = 0;
    int clockSignals = 0;
    QObject::connect(&right, &CRightPaneFrame::settingsListShown,
                     [&](bool) { ++settingsListSignals; });
    QObject::connect(&right, &CRightPaneFrame::clockPageShown, [&](bool) { ++clockSignals; });
    CSplitterView* v = right.splitterView();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        title = QString("page %1").arg(c.page);
        right.showPage(c.page);
        settle();
        EXPECT_EQ(v->currentCommandBar()->className(), c.bar);
        EXPECT_EQ(v->currentPage()->className(), c.view);
        EXPECT_EQ(v->currentCommandBar()->mode(), c.page);
        // CCommandDlg learns each page it serves, and the settings list's beside its own bar.
        if (std::string(c.bar) == "CCommandDlg" || c.page == 7) {
            EXPECT_EQ(v->view(nav::kViewCommandDlg)->mode(), c.page);
        }
        EXPECT_EQ(static_cast<CPlaceholderView*>(v->currentPage())->shownTitle(), title);
        if (c.page == 15) {
            EXPECT_LE(v->commandRowHeight(), 1);
        } else {
            EXPECT_EQ(v->commandRowHeight(), nav::kCommandRowHeight);
        }
    }
    EXPECT_EQ(settingsListSignals, 2);  // entered and left
    EXPECT_EQ(clockSignals, 2);
    EXPECT_EQ(v->view(nav::kViewCommandDlg)->mode(), 18);  // not the beam list's 19

    // Indexes without a page change nothing.
    PaneView* before = v->currentPage();
    for (int none : {0, 2, 16, 17, 20}) {
        EXPECT_FALSE(nav::pageEntry(none).has_value()) << none;
        right.showPage(none);
        EXPECT_EQ(v->currentPage(), before) << none;
    }
    right.showPage(1);
    EXPECT_TRUE(right.showsNaviView());
}

}  // namespace
}  // namespace qavix::test
