#pragma once
// What the command bar asks of the page it serves, and what the page asks of the bar.

#include <QString>

namespace qavix {

class CommandTarget {
  public:
    virtual ~CommandTarget() = default;
    // "書込み" or "適用": false when a field check refused the write.
    virtual bool writePage() = 0;
    // "取消し": back to the working set.
    virtual void cancelPage() = 0;
    // Shows the page's own state on the bar's buttons again.
    virtual void applyCommandButtons() = 0;
    // The bar's page action button ("個別設定" unless the page names it otherwise).
    virtual void pageAction() {}
};

class CommandBarButtons {
  public:
    virtual ~CommandBarButtons() = default;
    virtual void setWriteCancelEnabled(bool on) = 0;
    virtual void setWriteEnabled(bool on) = 0;
    // Shows the page action button with `text`, or hides it.
    virtual void setPageActionButton(const QString& text, bool visible) = 0;
};

}  // namespace qavix
