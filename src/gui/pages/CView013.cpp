#include "pages/CView013.h"

#include <QGridLayout>
#include <QVBoxLayout>
#include <ctime>

#include "comm/CCommLink.h"
#include "model/ClockSync.h"
#include "model/ClockText.h"

namespace qavix {

namespace {

using SystemTime = std::chrono::system_clock::time_point;

constexpr int kMinimumPeriodMs = 10;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 32;
constexpr int kMargin = 24;
constexpr int kSpacing = 16;

std::tm localTime(SystemTime t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

int millisecondOf(SystemTime t) {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(t.time_since_epoch());
    return static_cast<int>(sinceEpoch.count() % 1000);
}

}  // namespace

CView013::CView013(const PageContext& context, QWidget* parent)
    : PageBase("CView013", context, parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(kSpacing * 2);
    grid->setVerticalSpacing(kSpacing / 2);
    m_pc = new ClockDisplay(this);
    m_pc->setObjectName("display1039");
    m_controller = new ClockDisplay(this);
    m_controller->setObjectName("display1040");
    grid->addWidget(new QLabel(tr("パソコン時計時間"), this), 0, 0);
    grid->addWidget(new QLabel(tr("RQ5M時計時間"), this), 0, 1);
    grid->addWidget(m_pc, 1, 0);
    grid->addWidget(m_controller, 1, 1);
    grid->setColumnStretch(2, 1);
    outer->addLayout(grid);

    m_sync = new CPictureButton(this);
    m_sync->setObjectName("button1001");
    m_sync->setText(tr("同期"));
    m_sync->setFixedSize(kButtonWidth, kButtonHeight);
    auto* row = new QHBoxLayout;
    row->addWidget(m_sync);
    row->addStretch(1);
    outer->addSpacing(kSpacing);
    outer->addLayout(row);
    outer->addStretch(1);

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CView013::tick);
    connect(m_sync, &QToolButton::clicked, this, &CView013::startSync);
}

void CView013::pageShown(const QString& /*title*/) {
    clearReload();
    if (isVisible()) {
        enter();
    }
}

void CView013::showEvent(QShowEvent* event) {
    PageBase::showEvent(event);
    if (state().currentPage == kPageIndex) {
        enter();
    }
}

void CView013::hideEvent(QHideEvent* event) {
    PageBase::hideEvent(event);
    leave();
}

void CView013::enter() {
    if (m_active) {
        return;
    }
    m_active = true;
    m_period =
        std::max(context().refreshPeriodMs ? context().refreshPeriodMs() : 0, kMinimumPeriodMs);
    if (context().setCommandsAllowed) {
        context().setCommandsAllowed(false);
    }
    m_timer.start(m_period);
}

void CView013::leave() {
    if (!m_active) {
        return;
    }
    m_active = false;
    if (context().setCommandsAllowed) {
        context().setCommandsAllowed(true);
    }
    m_timer.stop();
    closeWait();
}

void CView013::startSync() {
    setCommBusy(true);
    m_sync->setEnabled(false);
    openWait(true);
    m_syncPending = true;
}

void CView013::tick() {
    m_timer.stop();
    const SystemTime now = context().now ? context().now() : std::chrono::system_clock::now();
    if (m_syncPending) {
        if (clockSyncDue(millisecondOf(now), m_period)) {
            finishSync(now);
        }
    } else {
        refreshDisplays(now);
    }
    if (m_active) {
        m_timer.start(m_period);
    }
}

void CView013::finishSync(const SystemTime& now) {
    // A failed transfer still ends the sync; the next ticks show the controller's time.
    link().request(kCodePutControl, 0, 0, 0, kRequestTimeoutMs, 0, 0, clockSetText(localTime(now)));
    closeWait();
    // Closing the wait window allows the frame's commands again; not while this page shows.
    if (m_active && context().setCommandsAllowed) {
        context().setCommandsAllowed(false);
    }
    m_sync->setEnabled(true);
    setCommBusy(false);
    m_syncPending = false;
}

void CView013::refreshDisplays(const SystemTime& now) {
    m_pc->showValue(QString::fromStdString(formatClockTime(localTime(now))));
    // Another transfer holds the line; the controller's time waits for the next tick.
    if (state().commBusy()) {
        return;
    }
    if (link().request(kCodeClock, 0, 0, 0, kRequestTimeoutMs) != kRequestOk) {
        return;
    }
    if (const auto shown = formatControllerClock(working().general)) {
        m_controller->showValue(QString::fromStdString(*shown));
    }
}

}  // namespace qavix
