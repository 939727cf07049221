#pragma once
// The main frame's client area: the navigation tree beside the right pane on a splitter,
// and in debug mode the trace pane below both.

#include <QMainWindow>
#include <QSplitter>

namespace qavix {

class AppState;
class CBankManager;
class CDebugView;
class CLeftPaneView;
class CRightPaneFrame;

struct ClientPanes {
    CRightPaneFrame* right = nullptr;
    CLeftPaneView* tree = nullptr;
    QSplitter* splitter = nullptr;       // tree | right pane
    QSplitter* debugSplitter = nullptr;  // debug mode: the splitter above the trace pane
    CDebugView* debug = nullptr;
};

// Builds the panes and makes them `window`'s central widget.
ClientPanes buildClientPanes(QMainWindow& window, AppState& state, CBankManager& banks);

}  // namespace qavix
