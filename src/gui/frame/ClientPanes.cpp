#include "frame/ClientPanes.h"

#include "frame/CDebugView.h"
#include "frame/CLeftPaneView.h"
#include "frame/CRightPaneFrame.h"
#include "state/AppState.h"

namespace qavix {

namespace {

constexpr int kDebugPaneHeight = 150;
constexpr int kMinUpperRow = 10;

}  // namespace

ClientPanes buildClientPanes(QMainWindow& window, AppState& state, CBankManager& banks) {
    ClientPanes p;
    auto shape = [&state] { return nav::shapeOf(state.model(), state.extendedMode); };
    auto title = [&state] { return state.pageTitle; };
    p.right = new CRightPaneFrame(shape, title);
    p.tree = new CLeftPaneView(state, banks, *p.right);

    p.splitter = new QSplitter(Qt::Horizontal);
    p.splitter->setObjectName("mainSplitter");
    p.splitter->addWidget(p.tree);
    p.splitter->addWidget(p.right);
    p.splitter->setStretchFactor(1, 1);
    // Dragged past its minimum, the tree would vanish: the one way through the program.
    p.splitter->setChildrenCollapsible(false);
    if (!state.debugMode) {
        window.setCentralWidget(p.splitter);
        return p;
    }
    p.debugSplitter = new QSplitter(Qt::Vertical, &window);
    p.debugSplitter->setObjectName("debugSplitter");
    p.debug = new CDebugView([&state] { return state.commBusy(); });
    p.debugSplitter->addWidget(p.splitter);
    p.debugSplitter->addWidget(p.debug);
    p.debugSplitter->setStretchFactor(0, 1);
    const int upper = std::max(window.height() - kDebugPaneHeight, kMinUpperRow);
    p.debugSplitter->setSizes({upper, kDebugPaneHeight});
    window.setCentralWidget(p.debugSplitter);
    return p;
}

}  // namespace qavix
