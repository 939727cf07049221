#pragma once
// The command bars above the beam selection pages: `CBrkCommand` above the chart page and
// `CBrkCmdList` above the list page. Both offer "入光光軸", "遮光光軸", "クリア", "書込み"
// and a cancel button that reads "取消し" while picks wait to be written and "閉じる" once
// they are written or cancelled; "閉じる" goes back to the page that opened the beam page.
// The chart bar adds the visible bars, ratio or absolute display, the scale and the legend.

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>

#include "pages/PageIndex.h"
#include "pages/PaneView.h"
#include "state/AppState.h"
#include "widgets/CPictureButton.h"
#include "widgets/FlowLayout.h"

namespace qavix {

class BeamPage;
class CView007;

class BeamCommandBar : public PaneView {
    Q_OBJECT
  public:
    static constexpr const char* kCancelText = QT_TRANSLATE_NOOP("qavix::BeamCommandBar", "取消し");
    static constexpr const char* kCloseText = QT_TRANSLATE_NOOP("qavix::BeamCommandBar", "閉じる");
    // Page indexes "閉じる" leads back to.
    static constexpr int kOverallJudgementPage = nav::kPageOverallJudgement;
    static constexpr int kSensorOperationPage = nav::kPageSensorOperation;

    // `closeTo` shows the opening page again.
    BeamCommandBar(const QString& className, AppState& state, BeamPage& page,
                   std::function<void(int pageIndex)> closeTo, QWidget* parent = nullptr);

    void pageShown(const QString& title) override;

    QComboBox* channelCombo() const { return m_channel; }
    QLabel* modeLabel1() const { return m_label1; }
    QLabel* modeLabel2() const { return m_label2; }
    CPictureButton* updateButton() const { return m_update; }
    CPictureButton* incidentButton() const { return m_incident; }
    CPictureButton* blockedButton() const { return m_blocked; }
    CPictureButton* clearButton() const { return m_clear; }
    CPictureButton* writeButton() const { return m_write; }
    CPictureButton* cancelButton() const { return m_cancel; }

    void update();
    void write();
    // "取消し" reverts the picks; "閉じる" leaves the page.
    void cancelOrClose();

  protected:
    // The chart bar's extra controls go into these rows.
    FlowLayout* topRow() const { return m_top; }
    FlowLayout* bottomRow() const { return m_bottom; }
    bool listBar() const { return m_listBar; }
    void setListBar(bool on) { m_listBar = on; }
    BeamPage& page() const { return m_page; }
    AppState& state() const { return m_state; }
    static CPictureButton* makeButton(const QString& text, int id, QWidget* parent);
    static QComboBox* makeCombo(int id, const QString& name, QWidget* parent);
    virtual void setControlsEnabled(bool on);

  private:
    void pageOpened();
    void showEdited(bool edited);

    AppState& m_state;
    BeamPage& m_page;
    std::function<void(int)> m_closeTo;
    bool m_listBar = false;
    FlowLayout* m_top = nullptr;
    FlowLayout* m_bottom = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLineEdit* m_title = nullptr;
    QComboBox* m_channel = nullptr;
    CPictureButton* m_update = nullptr;
    CPictureButton* m_incident = nullptr;
    CPictureButton* m_blocked = nullptr;
    CPictureButton* m_clear = nullptr;
    CPictureButton* m_write = nullptr;
    CPictureButton* m_cancel = nullptr;
};

// Above the chart page (page 9).
class CBrkCommand : public BeamCommandBar {
    Q_OBJECT
  public:
    CBrkCommand(AppState& state, CView007& page, std::function<void(int)> closeTo,
                QWidget* parent = nullptr);

    QComboBox* visibleCombo() const { return m_visible; }
    QRadioButton* ratioButton() const { return m_ratio; }
    QRadioButton* absoluteButton() const { return m_absolute; }
    QComboBox* scaleCombo() const { return m_scale; }
    CPictureButton* legendButton() const { return m_legend; }

  protected:
    void setControlsEnabled(bool on) override;

  private:
    void fillVisibleChoices();

    CView007& m_chartPage;
    QComboBox* m_visible = nullptr;
    QRadioButton* m_ratio = nullptr;
    QRadioButton* m_absolute = nullptr;
    QComboBox* m_scale = nullptr;
    CPictureButton* m_legend = nullptr;
};

// Above the list page (page 19).
class CBrkCmdList : public BeamCommandBar {
    Q_OBJECT
  public:
    CBrkCmdList(AppState& state, BeamPage& page, std::function<void(int)> closeTo,
                QWidget* parent = nullptr);
};

}  // namespace qavix
