#pragma once
// What the right pane needs from each view it stacks: command bars in the upper row are told
// the page index as their mode, pages in the lower row learn when they are shown.

#include <QString>
#include <QWidget>

#include "widgets/LabelledComboAccessible.h"

namespace qavix {

class PaneView : public QWidget {
    Q_OBJECT
  public:
    explicit PaneView(const QString& className, QWidget* parent = nullptr) : QWidget(parent) {
        setObjectName(className);
        // Pages and bars carry drop-downs; each must be offered by its label.
        installLabelledComboAccessibility();
    }

    QString className() const { return objectName(); }

    // Command bars: the page index they serve now.
    virtual void setMode(int pageIndex) { m_mode = pageIndex; }
    int mode() const { return m_mode; }

    // Pages: shown with the page title the tree stored.
    virtual void pageShown(const QString& /*title*/) {}
    // Pages that cache the working set reload it the next time they are shown.
    virtual void markForReload() { m_reload = true; }
    bool reloadPending() const { return m_reload; }

  protected:
    void clearReload() { m_reload = false; }

  private:
    int m_mode = 0;
    bool m_reload = true;
};

}  // namespace qavix
