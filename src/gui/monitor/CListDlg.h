#pragma once
// The command bar of the list pages: the page title and "保存", which saves the list of the
// page shown (the error log's CSV file; the received-light list's once that page is
// built). A page without a save of its own leaves the button hidden.

#include <QLabel>
#include <functional>
#include <map>

#include "pages/PaneView.h"
#include "widgets/CPictureButton.h"
#include "widgets/FlowLayout.h"

namespace qavix {

class CListDlg : public PaneView {
    Q_OBJECT
  public:
    static constexpr int kSaveId = 1048;

    explicit CListDlg(QWidget* parent = nullptr);

    // What "保存" does while the page `pageIndex` is shown.
    void setSaveHandler(int pageIndex, std::function<void()> save);
    // Controls of the page `pageIndex`, shown between the title and "保存" while it is.
    void addPageControls(int pageIndex, QWidget* controls);

    void setMode(int pageIndex) override;
    void pageShown(const QString& title) override;

    CPictureButton* saveButton() const { return m_save; }
    QString titleText() const { return m_title->text(); }

  private:
    void save();

    FlowLayout* m_layout = nullptr;
    QLabel* m_title = nullptr;
    CPictureButton* m_save = nullptr;
    std::map<int, std::function<void()>> m_saves;
    std::map<int, QWidget*> m_controls;
};

}  // namespace qavix
