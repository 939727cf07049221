#pragma once
// The pattern every setting page follows: filled from the working set when first shown
// (after the page's own reads, under the reading wait window), every edit marks its field
// and the page, the command bar's "書込み" and "取消し" follow the page's state, fields are
// checked before anything is sent, and the page's blocks go out through the write
// transaction ("適用" with a bank selected applies them to the working set instead).
// A page supplies its reads, fill, comparison, checks and puts; this class runs them.

#include <QLineEdit>
#include <vector>

#include "model/Codec.h"
#include "model/PageEditState.h"
#include "model/PageRequests.h"
#include "pages/CommandTarget.h"
#include "pages/PageBase.h"
#include "pages/PageContext.h"

namespace qavix {

class SettingPage : public PageBase, public CommandTarget {
    Q_OBJECT
  public:
    SettingPage(const QString& className, const PageContext& context, int pageIndex, int editedFlag,
                int fieldCount, QWidget* parent = nullptr);
    ~SettingPage() override;

    void pageShown(const QString& title) override;
    bool writePage() override;
    void cancelPage() override;
    void applyCommandButtons() override;

    int pageIndex() const { return m_pageIndex; }
    // The time-out the start setting of the page's write carries.
    virtual int startSettingTimeoutMs() const;
    bool loaded() const { return !reloadPending(); }
    const PageEditState& editState() const { return m_edit; }

  protected:
    // What the page reads from the controller before it fills its controls (nothing:
    // the working set is current already).
    virtual std::vector<PageRead> controllerReads() const { return {}; }
    // Puts the working set's values into the controls.
    virtual void fillFromWorkingSet() = 0;
    // Whether the controls hold values other than the working set's.
    virtual bool differsFromWorkingSet() const = 0;
    // Runs the page's field checks in their order, showing the message of a failing one and
    // putting the focus into its field. False refuses the write.
    virtual bool checkFields() { return true; }
    // The blocks the page owns, encoded from its controls.
    virtual std::vector<codec::PutRequest> pagePuts() = 0;
    // The colours of the fields from their states.
    virtual void repaintFields() {}
    // Where the focus goes after a cancel.
    virtual void focusFirstField() {}
    // Called after a load whose reads failed: the controls keep their texts.
    virtual void readFailed() {}
    // The write completed (true) or a request of it failed (false).
    virtual void written(bool /*ok*/) {}

    // An edit box changed: `state` is Invalid when its check failed, else Changed.
    void fieldEdited(int field, FieldState state);
    // A list or check box changed: its state follows the comparison with the working set.
    void choiceEdited(int field, bool differs);
    // Marks the page clean and repaints its fields.
    void markClean();

    // Reads and fills under the reading wait window, as on the first showing; a page that
    // shows one of several channels runs it for each channel it has not filled yet.
    void load();

    static void focusAndSelect(QLineEdit* edit);
    PageEditState& edit() { return m_edit; }
    CommandBarButtons* commandBar() const;

  private:
    bool readFromController();
    // After an edit once the page is loaded: compare, mark, show on the bar.
    void afterEdit();

    int m_pageIndex;
    PageEditState m_edit;
};

}  // namespace qavix
