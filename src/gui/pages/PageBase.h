#pragma once
// What every page of the right pane's page row shares: the program's services, the
// communication-busy flag, the frame's wait window and the message boxes.

#include <QString>
#include <vector>

#include "model/PageRequests.h"
#include "pages/PageContext.h"
#include "pages/PaneView.h"

namespace qavix {

class PageBase : public PaneView {
    Q_OBJECT
  public:
    PageBase(const QString& className, const PageContext& context, QWidget* parent = nullptr)
        : PaneView(className, parent), m_context(context) {}

    bool waitOpen() const { return m_waitOpen; }

  protected:
    AppState& state() { return m_context.state; }
    const AppState& state() const { return m_context.state; }
    WorkingSet& working() { return m_context.state.model().working(); }
    const WorkingSet& working() const { return m_context.state.model().working(); }
    const PageContext& context() const { return m_context; }
    CCommLink& link() { return m_context.link; }

    // Sets the flag that disables the tree and makes the request wait drop clicks.
    void setCommBusy(bool on);
    // Whether this page set the flag and has not cleared it yet.
    bool holdsCommBusy() const { return m_holdsBusy; }
    // Whether runReads holds the communication-busy flag for its reads (unless this page
    // holds it already), or leaves it to a caller that manages it its own way.
    enum class BusyFlag { Hold, LeaveAsIs };
    // Runs the reads in order; false at the first failure.
    bool runReads(const std::vector<PageRead>& reads, BusyFlag busy = BusyFlag::Hold);
    void openWait(bool writing);
    void closeWait();
    void showMessage(const QString& text);
    // The file the user chose cannot be written: the message every page's save shows, after
    // the question sound on the pages that give one.
    void showFileNotWritten(bool withSound);

  private:
    PageContext m_context;
    bool m_waitOpen = false;
    bool m_holdsBusy = false;
};

}  // namespace qavix
