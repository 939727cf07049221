// The command bars of the monitoring pages in a narrow window (a small screen, or a large
// scale factor): every control keeps the room its text needs, none lies over another, and
// the row above the page grows to show them all; in a wide window they keep one row.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <set>

#include "PageTestSupport.h"
#include "frame/CSplitterView.h"
#include "frame/PageTable.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

bool isControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) != nullptr ||
           qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(w) != nullptr ||
           qobject_cast<const QLabel*>(w) != nullptr;
}

// The controls a user sees on `bar`, each with its place in the bar; the parts inside a
// control (a spin box's edit) are not counted on their own.
std::vector<std::pair<const QWidget*, QRect>> shownControls(const QWidget* bar) {
    std::vector<std::pair<const QWidget*, QRect>> out;
    for (const QWidget* w : bar->findChildren<QWidget*>()) {
        if (!isControl(w) || !w->isVisibleTo(bar)) {
            continue;
        }
        bool inside = false;
        for (const QWidget* p = w->parentWidget(); p != nullptr && p != bar;
             p = p->parentWidget()) {
            inside = inside || isControl(p);
        }
        if (!inside) {
            out.emplace_back(w, QRect(w->mapTo(bar, QPoint(0, 0)), w->size()));
        }
    }
    return out;
}

QString nameOf(const QWidget* w) {
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
        return b->text();
    }
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        return l->text();
    }
    return w->accessibleName().isEmpty() ? w->objectName() : w->accessibleName();
}

struct BarFixture : EmulatorPageFixture {
    void open(bool extended) {
        state.extendedMode = extended;
        connectRead("--sensors 40,32", false);
    }
    // The shown bar at `width`: each control whole, apart from the others and inside the
    // row; returns how many rows of controls the bar used (by distinct control tops).
    int checkBar(int width) {
        pane->right->resize(width, 500);
        settle();
        CSplitterView* views = pane->right->splitterView();
        const QWidget* bar = views->currentCommandBar();
        const auto controls = shownControls(bar);
        EXPECT_FALSE(controls.empty());
        const int rowHeight = views->commandRowHeight();
        std::set<int> tops;
        for (size_t i = 0; i < controls.size(); ++i) {
            const auto& [w, r] = controls[i];
            SCOPED_TRACE(nameOf(w).toStdString() + " at width " + std::to_string(width));
            EXPECT_GE(r.width(), w->minimumSizeHint().width());
            EXPECT_GE(r.left(), 0);
            EXPECT_LE(r.right(), bar->width() - 1);
            EXPECT_LE(r.bottom(), rowHeight - 1);
            for (size_t j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(r.intersects(controls[j].second))
                    << nameOf(controls[j].first).toStdString();
            }
            tops.insert(r.center().y() / 8);
        }
        return static_cast<int>(tops.size());
    }
};

TEST_F(BarFixture, GraphBarWrapsInANarrowWindowAndKeepsItsRowsWhenWide) {
    open(true);
    pane->select(ItemKind::SensorGraph, 0, 1);
    const int wideRows = checkBar(1100);
    const int wideHeight = pane->right->splitterView()->commandRowHeight();
    checkBar(520);
    checkBar(360);
    // The row grew for the wrapped controls and shrinks back when there is room again.
    EXPECT_GT(pane->right->splitterView()->commandRowHeight(), wideHeight);
    EXPECT_EQ(checkBar(1100), wideRows);
    EXPECT_EQ(pane->right->splitterView()->commandRowHeight(), wideHeight);
}

TEST_F(BarFixture, ScanMonitorAndListBarsKeepTheirCaptionsWhole) {
    open(false);
    for (ItemKind kind : {ItemKind::ScanMonitor, ItemKind::LevelList}) {
        pane->select(kind);
        checkBar(1000);
        checkBar(600);
        checkBar(380);
    }
}

}  // namespace
}  // namespace qavix::test
