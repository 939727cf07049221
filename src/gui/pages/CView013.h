#pragma once
// The clock page: the PC's clock and the controller's side by side, refreshed
// every monitoring interval, and "同期", which sets the controller's clock to the PC's time
// on the first tick that falls within the first refresh period of a second.

#include <QTimer>

#include "pages/ClockDisplay.h"
#include "pages/PageBase.h"
#include "pages/PageIndex.h"
#include "widgets/CPictureButton.h"

namespace qavix {

class CView013 : public PageBase {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPageClock;

    explicit CView013(const PageContext& context, QWidget* parent = nullptr);

    void pageShown(const QString& title) override;

    ClockDisplay* pcDisplay() const { return m_pc; }
    ClockDisplay* controllerDisplay() const { return m_controller; }
    CPictureButton* syncButton() const { return m_sync; }
    bool syncPending() const { return m_syncPending; }
    bool active() const { return m_active; }
    int refreshPeriod() const { return m_period; }

    void startSync();
    // One tick of the refresh timer (the timer calls it; tests may too).
    void tick();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void enter();
    void leave();
    void finishSync(const std::chrono::system_clock::time_point& now);
    void refreshDisplays(const std::chrono::system_clock::time_point& now);

    ClockDisplay* m_pc = nullptr;
    ClockDisplay* m_controller = nullptr;
    CPictureButton* m_sync = nullptr;
    QTimer m_timer;
    int m_period = 0;
    bool m_syncPending = false;
    bool m_active = false;
};

}  // namespace qavix
