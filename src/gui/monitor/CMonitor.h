#pragma once
// The scan monitor's command bar: "START"/"STOP", "クリア", the channel, the beams shown as
// rows, the samples shown as columns and the sampling interval, which the line rate of the
// active port limits.

#include <QComboBox>
#include <array>

#include "comm/CCommLink.h"
#include "monitor/CView004.h"
#include "monitor/SampleCountBox.h"
#include "pages/PaneView.h"
#include "state/AppState.h"
#include "widgets/CPictureButton.h"

namespace qavix {

class CMonitor : public PaneView {
    Q_OBJECT
  public:
    static constexpr int kStartId = 1049;
    static constexpr int kClearId = 1050;

    CMonitor(AppState& state, CCommLink& link, CView004& page, QWidget* parent = nullptr);

    // Showing the page: the combos for the sensors and the line rate as they are now.
    void prepare();
    void startStop();
    void clearChart();

    CPictureButton* startButton() const { return m_start; }
    CPictureButton* clearButton() const { return m_clear; }
    QComboBox* channelCombo() const { return m_channelCombo; }
    QComboBox* beamsCombo() const { return m_beamsCombo; }
    QComboBox* intervalCombo() const { return m_intervalCombo; }
    SampleCountBox* samplesBox() const { return m_samples; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void fillIntervals();
    void fillChannels();
    void fillBeams();
    int rowsShown() const;
    void chooseChannel(int index);
    void applyShown();
    void onRunningChanged(bool running);

    AppState& m_state;
    CCommLink& m_link;
    CView004& m_page;
    CPictureButton* m_start = nullptr;
    CPictureButton* m_clear = nullptr;
    QComboBox* m_channelCombo = nullptr;
    QComboBox* m_beamsCombo = nullptr;
    SampleCountBox* m_samples = nullptr;
    QComboBox* m_intervalCombo = nullptr;
    // The sensors the combos were filled for; another set of sensors starts afresh.
    std::array<int, 4> m_layout{{-1, -1, -1, -1}};
};

}  // namespace qavix
