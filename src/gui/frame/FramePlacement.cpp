#include "frame/FramePlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <functional>
#include <vector>

#include "frame/CLeftPaneView.h"
#include "frame/DialogBar.h"
#include "frame/WindowPlacement.h"

namespace qavix {

namespace {

constexpr int kFirstStartWidth = 1100;
constexpr int kFirstStartHeight = 760;
constexpr const char* kSection = "Qavix_Section";
constexpr const char* kTreeWidthKey = "TreeWidth";
constexpr int kTreeWidthDivisor = 5;
constexpr int kTreeMaxPercent = 40;
// Stored show commands.
constexpr int kShowMaximized = 3;
constexpr int kShowMinimized = 2;
constexpr int kShowMinNoActive = 7;
constexpr int kShowMinimize = 6;
constexpr int kTreeLabelPadding = 16;  // between icon and text, and after the text

size_t at(int i) {
    return static_cast<size_t>(i);
}

// The width at which no label of the navigation tree is cut, every branch open.
int treeLabelsWidth(const QTreeWidget& tree) {
    const QFontMetrics metrics(tree.font());
    int widest = 0;
    std::function<void(const QTreeWidgetItem*, int)> walk = [&](const QTreeWidgetItem* item,
                                                                int depth) {
        const int width = tree.indentation() * (depth + 1) + tree.iconSize().width() +
                          metrics.horizontalAdvance(item->text(0)) + kTreeLabelPadding;
        widest = std::max(widest, width);
        for (int i = 0; i < item->childCount(); ++i) {
            walk(item->child(i), depth + 1);
        }
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        walk(tree.topLevelItem(i), 0);
    }
    return widest + tree.frameWidth() * 2 + tree.verticalScrollBar()->sizeHint().width();
}

}  // namespace

void restoreBars(QMainWindow& window, const FrameBars& bars, const SettingsFile& settings) {
    std::array<BarPlacement, kBarCount> placement;
    std::vector<int> docked;
    std::vector<int> floating;
    for (int i = 0; i < kBarCount; ++i) {
        placement[at(i)] = readBarPlacement(settings, i);
        const BarPlacement& p = placement[at(i)];
        (p.visible && p.floating ? floating : docked).push_back(i);
    }
    bool firstRow = true;
    for (const std::vector<int>& row : dockRows(placement, docked)) {
        if (!firstRow) {
            window.addToolBarBreak(Qt::TopToolBarArea);
        }
        firstRow = false;
        for (int i : row) {
            window.addToolBar(Qt::TopToolBarArea, bars[at(i)]);
        }
    }
    for (int i : floating) {
        auto* bar = static_cast<DialogBar*>(bars[at(i)]);
        window.addToolBar(Qt::TopToolBarArea, bar);
        const BarPlacement& p = placement[at(i)];
        bar->floatAt(QPoint(p.left, p.top));
    }
    for (int i = 0; i < kBarCount; ++i) {
        if (!placement[at(i)].visible) {
            bars[at(i)]->hide();
        }
    }
}

void saveBars(const FrameBars& bars, SettingsFile& settings) {
    for (int i = 0; i < kBarCount; ++i) {
        QToolBar* bar = bars[at(i)];
        BarPlacement p;
        p.visible = !bar->isHidden();
        p.floating = bar->isFloating();
        const QRect r =
            p.floating ? bar->geometry() : QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size());
        p.left = r.x();
        p.top = r.y();
        p.right = r.x() + r.width();
        p.bottom = r.y() + r.height();
        writeBarPlacement(settings, i, p);
    }
}

void restoreWindowRect(QMainWindow& window, const SettingsFile& settings) {
    const int left = settings.getInt(kSection, "left", 0);
    const int top = settings.getInt(kSection, "top", 0);
    const int right = settings.getInt(kSection, "right", kFrameMinWidth);
    const int bottom = settings.getInt(kSection, "bottom", kFrameMinHeight);
    const QRect saved(left, top, std::max(right - left, kFrameMinWidth),
                      std::max(bottom - top, kFrameMinHeight));
    QScreen* screen = QGuiApplication::screenAt(saved.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        window.setGeometry(saved);
        return;
    }
    const QRect a = screen->availableGeometry();
    const PlacementRect available{a.x(), a.y(), a.width(), a.height()};
    const PlacementSize least{kFrameMinWidth, kFrameMinHeight};
    const PlacementSize minimum = minimumOnScreen(least, available);
    window.setMinimumSize(minimum.width, minimum.height);
    // A first start has nothing saved: open large enough that the tree's labels show.
    const bool firstRun = !settings.value(kSection, "right").has_value();
    const PlacementRect r =
        firstRun ? firstStart({kFirstStartWidth, kFirstStartHeight}, least, available)
                 : clampToScreen({saved.x(), saved.y(), saved.width(), saved.height()}, least,
                                 available);
    window.setGeometry(QRect(r.left, r.top, r.width, r.height));
}

void saveWindowRect(const QMainWindow& window, SettingsFile& settings) {
    const QRect normal =
        window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    settings.setInt(kSection, "Show", 1);
    settings.setInt(kSection, "Left", normal.x());
    settings.setInt(kSection, "Top", normal.y());
    settings.setInt(kSection, "Right", normal.x() + normal.width());
    settings.setInt(kSection, "Bottom", normal.y() + normal.height());
}

void showWithStoredCommand(QMainWindow& window, int showCommand) {
    switch (showCommand) {
        case kShowMaximized:
            window.showMaximized();
            break;
        case kShowMinimized:
        case kShowMinimize:
        case kShowMinNoActive:
            window.showMinimized();
            break;
        default:
            // Any other command, hidden included, shows the window: a program without a
            // window could not be used or ended.
            window.show();
            break;
    }
    window.raise();
    window.activateWindow();
}

void placeTreePane(QSplitter& splitter, CLeftPaneView& tree, int clientWidth,
                   const SettingsFile& settings) {
    const int labels = treeLabelsWidth(*tree.tree());
    // The pane's limit gives way to labels that need more in this font.
    tree.setMaximumWidth(std::max(CLeftPaneView::kMaxWidth, labels));
    TreePaneWidths widths;
    widths.client = clientWidth;
    widths.labels = labels;
    widths.maximum = tree.maximumWidth();
    widths.saved = settings.getInt(kSection, kTreeWidthKey, -1);
    widths.divisor = kTreeWidthDivisor;
    widths.maxPercent = kTreeMaxPercent;
    // A page whose row needs more than the window leaves takes the room from the tree down
    // to the tree's minimum, which must keep the labels whole.
    tree.setMinimumWidth(treePaneMinimum(widths));
    const int treeWidth = treePaneWidth(widths);
    splitter.setSizes({treeWidth, clientWidth - treeWidth});
}

void saveTreeWidth(const QSplitter& splitter, SettingsFile& settings) {
    // A window closed while minimised has no width to keep.
    if (const int treeWidth = splitter.sizes().value(0); treeWidth > 0) {
        settings.setInt(kSection, kTreeWidthKey, treeWidth);
    }
}

}  // namespace qavix
