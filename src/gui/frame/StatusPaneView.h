#pragma once
// Panes 1 to 3 of the main frame's colour status bar (connection, unit, port) as
// StatusPanes decides them, with pane 3's tool tip naming where the port leads.

#include <QString>
#include <functional>

#include "frame/StatusPanes.h"

namespace qavix {

class CColorStatusBar;

class StatusPaneView {
  public:
    StatusPaneView(CColorStatusBar& bar, std::function<StatusInputs()> inputs);

    // "ﾚﾃﾞｨ" in pane 0, panes 1 to 3 as nothing is connected yet, the unit pane's width.
    void showInitial();
    // Updates `pane` from the connection's state and shows panes 1 to 3. While a bank file
    // is edited offline (`editedFile` not empty) pane 3's tip names the file.
    void update(int pane, const QString& editedFile);
    const StatusPanes& panes() const { return m_panes; }

  private:
    void apply(int pane);

    CColorStatusBar& m_bar;
    std::function<StatusInputs()> m_inputs;
    StatusPanes m_panes;
};

}  // namespace qavix
