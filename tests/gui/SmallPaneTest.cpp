// Pages and lists with less room than they need, as on a small screen or at a scale factor
// of 2: the page row scrolls, and no page is squeezed until its groups collapse or its
// controls lie over each other; a list's columns are as wide as what they show.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>

#include "PageTestSupport.h"
#include "frame/CSplitterView.h"
#include "widgets/TableColumns.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

struct SmallPaneFixture : EmulatorPageFixture {
    void SetUp() override {
        // The measurement functions on, so their pages are in the tree.
        state.extendedMode = true;
        connectRead("--sensors 40,32" + scenarioOption("127 = 02\n133 = 02\n143 = 02\n"), false);
        // The room a page row has at a scale factor of 2 on a 1400 x 1000 screen.
        pane->right->resize(440, 300);
        settle();
    }
    QScrollArea* pageScroll() const { return pane->right->findChild<QScrollArea*>("pageScroll"); }
};

QRect inPage(const QWidget* w, const QWidget* page) {
    return QRect(w->mapTo(page, QPoint(0, 0)), w->size());
}

// Controls shown on `page` whose rectangles overlap, as "a / b".
std::vector<std::string> overlappingControls(const QWidget* page) {
    std::vector<const QWidget*> controls;
    for (const QWidget* w : page->findChildren<QWidget*>()) {
        const bool control = qobject_cast<const QComboBox*>(w) != nullptr ||
                             qobject_cast<const QLineEdit*>(w) != nullptr ||
                             qobject_cast<const QAbstractButton*>(w) != nullptr;
        // A drop-down's own parts and the cells of a list are not controls of the page.
        if (control && w->isVisible() &&
            qobject_cast<const QComboBox*>(w->parentWidget()) == nullptr &&
            w->parentWidget()->inherits("QAbstractItemView") == false &&
            w->parentWidget()->objectName() != "qt_scrollarea_viewport") {
            controls.push_back(w);
        }
    }
    std::vector<std::string> out;
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t k = i + 1; k < controls.size(); ++k) {
            if (inPage(controls[i], page).intersects(inPage(controls[k], page))) {
                out.push_back(controls[i]->objectName().toStdString() + " / " +
                              controls[k]->objectName().toStdString());
            }
        }
    }
    return out;
}

TEST_F(SmallPaneFixture, PagesThatDoNotFitScrollAndKeepTheirShape) {
    for (ItemKind kind : {ItemKind::SensorOperation, ItemKind::Options, ItemKind::OverallJudgement,
                          ItemKind::ParallelOutput, ItemKind::BasicInfo}) {
        pane->select(kind, kCurrentSet, kind == ItemKind::SensorOperation ? 1 : 0);
        settle();
        QWidget* page = pane->right->splitterView()->currentPage();
        SCOPED_TRACE(page->objectName().toStdString());
        EXPECT_GE(page->height(), page->minimumSizeHint().height());
        EXPECT_GE(page->width(), page->minimumSizeHint().width());
        for (const QGroupBox* group : page->findChildren<QGroupBox*>()) {
            if (group->isVisible()) {
                EXPECT_GE(group->height(), group->minimumSizeHint().height())
                    << group->title().toStdString();
            }
        }
        EXPECT_EQ(overlappingControls(page), std::vector<std::string>{});
    }
    // The sensor page is far taller than the row: the row scrolls.
    pane->select(ItemKind::SensorOperation, kCurrentSet, 1);
    settle();
    ASSERT_NE(pageScroll(), nullptr);
    EXPECT_TRUE(pageScroll()->verticalScrollBar()->isVisible());
}

// Columns of `table` narrower than the text of their header or of one of their cells.
std::vector<std::string> cutColumns(const QTableWidget* table) {
    std::vector<std::string> cut;
    const QFontMetrics header = table->horizontalHeader()->fontMetrics();
    const QFontMetrics cells = table->fontMetrics();
    for (int c = 0; c < table->columnCount(); ++c) {
        const QString title = table->horizontalHeaderItem(c)->text();
        int need = header.horizontalAdvance(title);
        for (int row = 0; row < table->rowCount(); ++row) {
            if (const QTableWidgetItem* item = table->item(row, c)) {
                need = std::max(need, cells.horizontalAdvance(item->text()));
            }
        }
        if (table->columnWidth(c) < need) {
            cut.push_back(title.toStdString());
        }
    }
    return cut;
}

TEST_F(SmallPaneFixture, ListColumnsAreAsWideAsWhatTheyShow) {
    // Text twice the usual size, as the scale factor 2 gives it against the same pane.
    QFont large = pane->right->font();
    large.setPixelSize(2 * QFontInfo(large).pixelSize());
    pane->right->setFont(large);
    pane->right->resize(560, 400);
    for (ItemKind kind : {ItemKind::LevelList, ItemKind::ErrorLog}) {
        pane->select(kind);
        settle();
        QWidget* page = pane->right->splitterView()->currentPage();
        SCOPED_TRACE(page->objectName().toStdString());
        auto* table = page->findChild<QTableWidget*>();
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(cutColumns(table), std::vector<std::string>{});
    }
}

TEST(TableColumns, ProportionsGiveWayToWhatColumnsShow) {
    struct Case {
        std::vector<int> wanted, needed;
        int available;
        std::vector<int> fitted;
    };
    const Case cases[] = {
        // Room for all: the proportions stand.
        {{100, 100, 200}, {50, 60, 70}, 400, {100, 100, 200}},
        // One column needs more: the others give it, as far as each has spare.
        {{100, 100, 200}, {160, 60, 70}, 400, {160, 85, 155}},
        // Not enough for all needs: each gets its need, and the list scrolls.
        {{100, 100, 200}, {160, 150, 210}, 400, {160, 150, 210}},
        // Spare only in one column: it alone gives, never below its need.
        {{100, 100, 200}, {150, 100, 140}, 400, {150, 100, 150}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fitColumns(c.wanted, c.needed, c.available), c.fitted);
    }
}

}  // namespace
}  // namespace qavix::test
