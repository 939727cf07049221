#pragma once
// The trace pane of the debug layout: every exchange with the controller, numbered, the
// newest 300 lines kept. While a sequence runs (or while held) it shows only the oldest
// lines that fit, so a long transfer does not redraw a long text on every frame.

#include <QPlainTextEdit>
#include <functional>

#include "comm/TraceLog.h"

namespace qavix {

class CDebugView : public QPlainTextEdit {
    Q_OBJECT
  public:
    // `busy` says whether the communication-busy flag is set.
    explicit CDebugView(std::function<bool()> busy, QWidget* parent = nullptr);

    void addLine(const std::string& frameText, TraceLog::Direction direction);
    // The frames of one exchange as the link library returned them.
    void recordExchange(const std::string& sent, const std::string& received);

    void setHold(bool on) { m_hold = on; }
    const TraceLog& log() const { return m_log; }

  private:
    void refresh();

    TraceLog m_log;
    std::function<bool()> m_busy;
    bool m_hold = false;
};

}  // namespace qavix
