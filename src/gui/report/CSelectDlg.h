#pragma once
// The command bar of the settings-list page: toggles for the controller block and the
// three sensor blocks ("表示設定"), and "保存" and "印刷" ("操作"). Its first showing
// selects the controller and every connected sensor and hides the toggles of sensors that
// are not connected.

#include <array>

#include "pages/PaneView.h"
#include "state/AppState.h"
#include "widgets/CPictureButton.h"

namespace qavix {

class CView005;

class CSelectDlg : public PaneView {
    Q_OBJECT
  public:
    // Toggles in the order of the report's blocks: controller, CH1, CH2, CH3.
    static constexpr int kToggleCount = 4;
    static constexpr int kSaveId = 1048;
    static constexpr int kPrintId = 1056;

    CSelectDlg(AppState& state, CView005& page, QWidget* parent = nullptr);

    void pageShown(const QString& title) override;

    CPictureButton* toggle(int block) const { return m_toggles.at(static_cast<size_t>(block)); }
    CPictureButton* saveButton() const { return m_save; }
    CPictureButton* printButton() const { return m_print; }

  private:
    void firstShowing();
    void toggled(int block, bool on);

    AppState& m_state;
    CView005& m_page;
    std::array<CPictureButton*, kToggleCount> m_toggles{};
    CPictureButton* m_save = nullptr;
    CPictureButton* m_print = nullptr;
    bool m_shown = false;
};

}  // namespace qavix
