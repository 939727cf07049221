#pragma once
// The command bar above the setting pages (and the graph and settings-list pages): "書込み"
// ("適用" while a bank is the selected set) and "取消し", dispatched to the page of the
// application's current page index.

#include <QLabel>
#include <map>
#include <memory>

#include "pages/CommandTarget.h"
#include "pages/PaneView.h"
#include "state/AppState.h"
#include "widgets/CPictureButton.h"
#include "widgets/FlowLayout.h"

namespace qavix {

class PageRegistry;

class CCommandDlg : public PaneView, public CommandBarButtons {
    Q_OBJECT
  public:
    static constexpr int kWriteId = 1044;
    static constexpr int kCancelId = 1024;
    static constexpr int kPageActionId = 1043;

    CCommandDlg(AppState& state, std::shared_ptr<PageRegistry> registry, QWidget* parent = nullptr);
    ~CCommandDlg() override;

    void setMode(int pageIndex) override;
    void pageShown(const QString& title) override;

    void setWriteCancelEnabled(bool on) override;
    void setWriteEnabled(bool on) override;
    void setPageActionButton(const QString& text, bool visible) override;

    CPictureButton* writeButton() const { return m_write; }
    CPictureButton* cancelButton() const { return m_cancel; }
    CPictureButton* pageActionButton() const { return m_pageAction; }
    QString titleText() const { return m_title->text(); }

    void write();
    void cancel();
    void pageAction();

    // Controls of one page (the graph page's), shown beside the title while that page is.
    void addPageControls(int pageIndex, QWidget* controls);

  private:
    void updateWriteLabel();

    AppState& m_state;
    std::shared_ptr<PageRegistry> m_registry;
    QLabel* m_title = nullptr;
    CPictureButton* m_write = nullptr;
    CPictureButton* m_cancel = nullptr;
    CPictureButton* m_pageAction = nullptr;
    FlowLayout* m_layout = nullptr;
    std::map<int, QWidget*> m_pageControls;
};

}  // namespace qavix
