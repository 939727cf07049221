#pragma once
// The received-light list (page 5), opened as "受光レベルリスト" from the current values and
// as a bank's "しきい値設定": one row per beam with its level, ON and OFF threshold and a
// level bar. Levels are read once or continuously; the thresholds are edited in their
// cells, the other threshold following at the sensor's hysteresis, and written or
// discarded together; the list is saved as CSV. The rules are core's (monitor/ThresholdList).

#include <QPointer>
#include <QTimer>
#include <array>
#include <vector>

#include "model/DeviceData.h"
#include "model/PageRequests.h"
#include "monitor/BarRules.h"
#include "monitor/CLevelListBar.h"
#include "monitor/CLevelListTable.h"
#include "pages/PageBase.h"
#include "pages/PageIndex.h"

namespace qavix {

class CView003 : public PageBase {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPageLevelList;
    static constexpr int kPageEditedFlag = 10;

    explicit CView003(const PageContext& context, QWidget* parent = nullptr);
    ~CView003() override;

    void pageShown(const QString& title) override;

    CLevelListBar* commandControls() const { return m_bar; }
    CLevelListTable* list() const { return m_list; }
    int channel() const { return m_channel; }
    bool running() const { return m_running; }
    bool edited() const;
    // The rows show the channel thresholds ON_TH / OFF_TH: opened from a bank's threshold
    // item, which the tree hands over as its chart item.
    bool channelThresholdMode() const { return m_channelMode; }
    chart::ThresholdPair shown(int sensor, int beam) const;

    // The bar's commands.
    void selectChannel(int comboIndex);
    void updateOnce();
    void toggleContinuous();
    bool write();
    void cancel();
    void saveCsv();
    bool saveCsvTo(const QString& path);

    // A number typed into the ON or OFF cell of `row`: true when the row took it.
    bool typeCell(int row, int column, const QString& text);
    // Opens the cell editor at `row` and `column` (ON or OFF), scrolling it into view.
    void editCell(int row, int column);

  protected:
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool fullRead();
    // Reads levels and thresholds under the wait window and shows them.
    void reloadList();
    void deriveShown();
    void fillList();
    // Reads the shown sensors' levels and shows them; false when the read failed.
    bool refreshLevels();
    // `offTyped`: the OFF cell was just typed into, and reads so.
    void showPair(int row, bool offTyped = false);
    void updateEditedState();
    void tick();
    void stopContinuous();
    std::vector<int> listedSensors() const;

    struct RowRef {
        int sensor = 0;
        int beam = 0;
    };

    // The list command bar owns the controls once placed; it may go first at shutdown.
    QPointer<CLevelListBar> m_bar;
    CLevelListTable* m_list = nullptr;
    QTimer m_timer;
    std::vector<RowRef> m_rows;
    std::array<std::array<chart::ThresholdPair, kMaxBeams>, kChannelCount> m_shown{};
    int m_channel = 0;
    bool m_channelMode = false;
    bool m_running = false;
    bool m_filling = false;
};

}  // namespace qavix
