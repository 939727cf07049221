#pragma once
// A command bar or page that is registered in the page table but not built yet: it shows its
// page title (pages) or nothing but its frame (command bars).

#include <QLabel>

#include "pages/PaneView.h"

namespace qavix {

class CPlaceholderView : public PaneView {
    Q_OBJECT
  public:
    CPlaceholderView(const QString& className, bool commandBar, QWidget* parent = nullptr);

    void pageShown(const QString& title) override;
    QString shownTitle() const;

  private:
    QLabel* m_title = nullptr;
};

}  // namespace qavix
