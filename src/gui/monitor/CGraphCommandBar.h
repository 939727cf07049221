#pragma once
// The graph page's part of the command bar: update and continuous update, the tuning
// buttons, display mode and scale, the channel and visible-bar choices, CSV and picture
// save and the legend. It only holds the controls and their enable rules; the page
// (CView002) connects them and decides what they do.

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include "widgets/CPictureButton.h"

namespace qavix {

class FlowLayout;

class CGraphCommandBar : public QWidget {
    Q_OBJECT
  public:
    explicit CGraphCommandBar(QWidget* parent = nullptr);

    CPictureButton* continuousButton() const { return m_continuous; }
    CPictureButton* updateButton() const { return m_update; }
    CPictureButton* batchButton() const { return m_batch; }
    CPictureButton* individualButton() const { return m_individual; }
    CPictureButton* sensitivityButton() const { return m_sensitivity; }
    CPictureButton* saveButton() const { return m_save; }
    CPictureButton* imageButton() const { return m_image; }
    CPictureButton* legendButton() const { return m_legend; }
    QRadioButton* ratioButton() const { return m_ratio; }
    QRadioButton* absoluteButton() const { return m_absolute; }
    QComboBox* scaleCombo() const { return m_scale; }
    QComboBox* channelCombo() const { return m_channel; }
    QComboBox* visibleCombo() const { return m_visible; }

    // Every control on or off ("書込み"/"取消し" belong to the general bar).
    void setAllEnabled(bool on);
    // Idle: everything on, except the tuning buttons without tuning and "一括設定" outside
    // ratio display.
    void enableIdle(bool tuningAvailable, bool ratioDisplay);
    // Running: only "停止" stays on.
    void enableRunning();
    void showRunning(bool running);
    void showRatio(bool ratio);
    // Fills "表示光軸数" and selects its first entry.
    void setVisibleChoices(const std::vector<int>& choices);

  private:
    // Upper row: what is shown; lower row: what to do.
    FlowLayout* buildShownRow();
    FlowLayout* buildActionRow();
    CPictureButton* m_continuous = nullptr;
    CPictureButton* m_update = nullptr;
    CPictureButton* m_batch = nullptr;
    CPictureButton* m_individual = nullptr;
    CPictureButton* m_sensitivity = nullptr;
    CPictureButton* m_save = nullptr;
    CPictureButton* m_image = nullptr;
    CPictureButton* m_legend = nullptr;
    QRadioButton* m_ratio = nullptr;
    QRadioButton* m_absolute = nullptr;
    QComboBox* m_scale = nullptr;
    QComboBox* m_channel = nullptr;
    QComboBox* m_visible = nullptr;
};

}  // namespace qavix
