// The navigation tree and the splitter beside it as a user drives them, on the program
// against the built-in emulator: clicks while rows move, the arrow keys through pages, the
// tree's width across a restart.

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QRegularExpression>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "frame/CLeftPaneView.h"
#include "frame/CRightPaneFrame.h"

namespace qavix::test {
namespace {

class TreeInput : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        setenv("QAVLINK_COM1", "sim", 1);
    }

    std::unique_ptr<CQavixApp> startApp(const std::vector<std::string>& arguments = {}) {
        AppOptions o = options();
        o.arguments = arguments;
        auto app = std::make_unique<CQavixApp>(o);
        if (!app->start()) {
            return nullptr;
        }
        QApplication::setActiveWindow(app->mainFrame());
        settle(20);
        return app;
    }

    static void click(QTreeWidget* tree, QTreeWidgetItem* item) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(item).center());
        settle(20);
    }

    // A double click as the window system delivers it: press, release, then the second
    // press as a double click, and its release.
    static void doubleClick(QTreeWidget* tree, QPoint at) {
        QWidget* target = tree->viewport();
        const QPointF local(at);
        const QPointF global(target->mapToGlobal(at));
        const std::pair<QEvent::Type, Qt::MouseButtons> steps[] = {
            {QEvent::MouseButtonPress, Qt::LeftButton},
            {QEvent::MouseButtonRelease, Qt::NoButton},
            {QEvent::MouseButtonDblClick, Qt::LeftButton},
            {QEvent::MouseButtonRelease, Qt::NoButton}};
        for (const auto& [type, buttons] : steps) {
            QMouseEvent event(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
            settle(5);
        }
        settle(20);
    }

    // The highlight, the current item and the set worked on all name `set`'s root.
    static void expectSetChosen(CQavixApp& app, int set) {
        CLeftPaneView* pane = app.mainFrame()->tree();
        QTreeWidget* tree = pane->tree();
        EXPECT_EQ(app.model().selectedSet(), set);
        EXPECT_EQ(tree->currentItem(), pane->rootItem(set));
        const QList<QTreeWidgetItem*> highlighted = tree->selectedItems();
        ASSERT_EQ(highlighted.size(), 1);
        EXPECT_EQ(highlighted.constFirst(), pane->rootItem(set))
            << "highlight on " << highlighted.constFirst()->text(0).toStdString();
        EXPECT_GT(pane->rootItem(set)->childCount(), 0);
        EXPECT_EQ(app.mainFrame()->rightPane()->navigationKind(),
                  pane->rootItem(set)->data(0, CLeftPaneView::kRoleNavKind).toInt());
    }

    static QSplitter* mainSplitter(CQavixApp& app) {
        return app.mainFrame()->findChild<QSplitter*>("mainSplitter");
    }

    // The tree fills its column of the splitter (nothing grey beside it) and shows every
    // label whole with every branch open.
    static void expectTreeFillsItsColumnReadably(CQavixApp& app) {
        QSplitter* splitter = mainSplitter(app);
        ASSERT_NE(splitter, nullptr);
        CLeftPaneView* pane = app.mainFrame()->tree();
        EXPECT_EQ(pane->width(), splitter->sizes().value(0));
        EXPECT_EQ(app.mainFrame()->rightPane()->x(),
                  pane->geometry().right() + 1 + splitter->handleWidth());
        QTreeWidget* tree = pane->tree();
        tree->expandAll();
        settle(20);
        const QFontMetrics metrics(tree->font());
        for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
            const QRect cell = tree->visualItemRect(*it);
            const int textEnd =
                cell.x() + tree->iconSize().width() + metrics.horizontalAdvance((*it)->text(0));
            EXPECT_LE(textEnd, tree->viewport()->width()) << (*it)->text(0).toStdString();
        }
    }
};

TEST_F(TreeInput, AClickChoosesTheBankUnderThePointerWhileRowsAboveItClose) {
    auto app = startApp();
    ASSERT_NE(app, nullptr);
    CLeftPaneView* pane = app->mainFrame()->tree();
    QTreeWidget* tree = pane->tree();
    ASSERT_EQ(tree->topLevelItemCount(), 5);

    // From the current values, the focus elsewhere: moving into the tree refreshes it.
    app->mainFrame()->rightPane()->setFocus();
    click(tree, pane->rootItem(1));
    expectSetChosen(*app, 1);
    EXPECT_EQ(pane->rootItem(0)->childCount(), 0);

    // Bank 1's subtree closes above Bank 3 while the button is down.
    click(tree, pane->rootItem(3));
    expectSetChosen(*app, 3);
    EXPECT_EQ(pane->rootItem(1)->childCount(), 0);

    // Bank 3's subtree closes above Bank 4 between the two clicks of a double click: the
    // second click is not taken for the row that moved under the pointer.
    doubleClick(tree, tree->visualItemRect(pane->rootItem(4)).center());
    expectSetChosen(*app, 4);

    // Back up to the current values, whose subtree opens below the pointer.
    click(tree, pane->rootItem(0));
    expectSetChosen(*app, 0);
    EXPECT_EQ(pane->rootItem(4)->childCount(), 0);
}

TEST_F(TreeInput, ArrowKeysWalkThroughPagesAndTheFocusStaysInTheTree) {
    auto app = startApp();
    ASSERT_NE(app, nullptr);
    CMainFrame* frame = app->mainFrame();
    QTreeWidget* tree = frame->tree()->tree();
    tree->setFocus();
    settle(20);
    ASSERT_EQ(QApplication::focusWidget(), tree);

    // Down through the controller's folders and every page of the display folder (each
    // page reads from the controller under its wait window), then back up.
    QTreeWidgetItem* item = tree->currentItem();
    int pagesShown = 0;
    for (int step = 0; step < 8; ++step) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_EQ(focus, tree) << "step " << step << ": focus on "
                               << (focus ? focus->metaObject()->className() : "nothing");
        QTreeWidgetItem* below = tree->itemBelow(item);
        ASSERT_NE(below, nullptr);
        QTest::keyClick(focus, Qt::Key_Down);
        settle(20);
        EXPECT_EQ(tree->currentItem(), below) << "step " << step;
        item = tree->currentItem();
        const int page = item->data(0, CLeftPaneView::kRolePage).toInt();
        EXPECT_EQ(app->state().currentPage, page) << item->text(0).toStdString();
        EXPECT_EQ(frame->rightPane()->currentPageIndex(), page) << item->text(0).toStdString();
        pagesShown += page != nav::kPageNavigation ? 1 : 0;
    }
    EXPECT_GE(pagesShown, 4);
    EXPECT_EQ(QApplication::focusWidget(), tree);
    EXPECT_EQ(QApplication::activeWindow(), frame);
    QTreeWidgetItem* above = tree->itemAbove(item);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    settle(20);
    EXPECT_EQ(tree->currentItem(), above);
    EXPECT_EQ(QApplication::focusWidget(), tree);
}

TEST_F(TreeInput, TheTreeFillsItsColumnAndKeepsItsLabelsAcrossARestart) {
    int dragged = 0;
    {
        auto app = startApp();
        ASSERT_NE(app, nullptr);
        expectTreeFillsItsColumnReadably(*app);
        // The user drags the splitter's handle into the tree's labels.
        QSplitterHandle* handle = mainSplitter(*app)->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip - QPoint(50, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip - QPoint(50, 0));
        settle(20);
        dragged = mainSplitter(*app)->sizes().value(0);
        app->shutdown();
    }
    ASSERT_GT(dragged, 0);
    EXPECT_TRUE(iniText().contains(QString("TreeWidth=%1\r\n").arg(dragged)))
        << iniText().toStdString();
    {
        auto app = startApp();
        ASSERT_NE(app, nullptr);
        expectTreeFillsItsColumnReadably(*app);
        // A page needing more room than the window leaves beside the tree takes it from
        // the page side, not from the labels.
        CLeftPaneView* pane = app->mainFrame()->tree();
        pane->tree()->setCurrentItem(pane->findItem(nav::ItemKind::BasicInfo, kCurrentSet));
        settle(20);
        ASSERT_EQ(app->mainFrame()->rightPane()->currentPageIndex(), nav::kPageBasicInfo);
        expectTreeFillsItsColumnReadably(*app);
        app->shutdown();
    }
    // A width saved wider than the pane may be.
    QString ini = iniText();
    ini.replace(QRegularExpression("TreeWidth=\\d+"), "TreeWidth=700");
    ASSERT_TRUE(writeIni(ini.toUtf8().constData()));
    {
        auto app = startApp();
        ASSERT_NE(app, nullptr);
        expectTreeFillsItsColumnReadably(*app);
        app->shutdown();
    }
    // The debug layout's tree too.
    {
        auto app = startApp({"/d", "b"});
        ASSERT_NE(app, nullptr);
        ASSERT_TRUE(app->state().debugMode);
        expectTreeFillsItsColumnReadably(*app);
        app->shutdown();
    }
}

}  // namespace
}  // namespace qavix::test
