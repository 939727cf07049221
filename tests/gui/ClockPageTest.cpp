// The clock page against the built-in emulator: both clocks shown and advancing, the
// controller read skipped while another transfer runs, and "同期" setting the emulator's
// clock to the PC's time on a tick early in a second.

#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "frame/PageTable.h"
#include "model/ClockText.h"
#include "pages/CView013.h"

namespace qavix::test {
namespace {

using nav::ItemKind;
using SystemTime = std::chrono::system_clock::time_point;

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}

std::time_t timeOf(std::tm t) {
    return std::mktime(&t);
}

struct ClockPageFixture : EmulatorPageFixture {
    void SetUp() override {
        connect("--sensors 40");
        pane->log.interval = 40;
        page = pane->page<CView013>(nav::kViewPage013);
    }

    void setControllerClock(const std::tm& when) {
        ASSERT_EQ(
            link->request(kCodePutControl, 0, 0, 0, kRequestTimeoutMs, 0, 0, clockSetText(when)),
            kRequestOk);
    }
    // The controller's clock as the emulator gives it now.
    std::time_t controllerTime() {
        EXPECT_EQ(link->request(kCodeClock), kRequestOk);
        const auto& w = model.working().general.words;
        std::tm t = at(w[2], w[3], w[4], w[5], w[6], w[7]);
        return std::mktime(&t);
    }
    QString controllerText() const { return page->controllerDisplay()->text(); }

    CView013* page = nullptr;
};

TEST_F(ClockPageFixture, BothClocksAppearAndAdvance) {
    setControllerClock(at(2010, 1, 2, 3, 4, 5));
    EXPECT_EQ(page->controllerDisplay()->textColour(), QColor(0, 0, 0));
    pane->select(ItemKind::Clock);
    EXPECT_TRUE(page->active());
    EXPECT_EQ(page->refreshPeriod(), 40);
    EXPECT_EQ(pane->log.commandsAllowed, std::vector<bool>{false});
    EXPECT_EQ(pane->right->splitterView()->commandRowHeight(), nav::kCollapsedCommandRowHeight);

    ASSERT_TRUE(waitUntil([&] { return page->controllerDisplay()->hasValue(); }, 3000));
    const QString first = controllerText();
    EXPECT_TRUE(first.startsWith("10/01/02 03:04:0")) << first.toStdString();
    EXPECT_EQ(page->controllerDisplay()->textColour(), QColor(0, 255, 0));
    EXPECT_EQ(page->pcDisplay()->textColour(), QColor(0, 255, 0));
    EXPECT_EQ(page->pcDisplay()->text().size(), 17);
    EXPECT_TRUE(waitUntil([&] { return controllerText() != first; }, 2500));
    EXPECT_TRUE(controllerText().startsWith("10/01/02 03:04:")) << controllerText().toStdString();

    pane->select(ItemKind::BasicInfo);
    EXPECT_FALSE(page->active());
    EXPECT_EQ(pane->log.commandsAllowed, (std::vector<bool>{false, true}));
}

TEST_F(ClockPageFixture, ControllerIsNotReadWhileAnotherTransferRuns) {
    setControllerClock(at(2010, 1, 2, 3, 4, 5));
    pane->select(ItemKind::Clock);
    ASSERT_TRUE(waitUntil([&] { return page->controllerDisplay()->hasValue(); }, 3000));
    setControllerClock(at(2011, 6, 7, 8, 9, 10));
    state.setCommBusy(true);
    page->tick();
    EXPECT_TRUE(controllerText().startsWith("10/")) << controllerText().toStdString();
    state.setCommBusy(false);
    page->tick();
    EXPECT_TRUE(controllerText().startsWith("11/06/07 08:09:1")) << controllerText().toStdString();
}

TEST_F(ClockPageFixture, SyncWaitsForATickEarlyInASecond) {
    // The PC's clock stands still where the test puts it.
    SystemTime pcNow = std::chrono::system_clock::from_time_t(timeOf(at(2002, 12, 5, 18, 30, 45)));
    pane->log.now = [&] { return pcNow; };
    setControllerClock(at(2010, 1, 2, 3, 4, 5));
    pane->select(ItemKind::Clock);
    page->tick();
    EXPECT_EQ(page->pcDisplay()->text(), "02/12/05 18:30:45");

    QTest::mouseClick(page->syncButton(), Qt::LeftButton);
    EXPECT_TRUE(page->syncPending());
    EXPECT_FALSE(page->syncButton()->isEnabled());
    EXPECT_TRUE(state.commBusy());
    EXPECT_EQ(pane->log.waits, std::vector<std::string>{"write"});

    pcNow += std::chrono::milliseconds(500);  // too late in the second: nothing is sent
    page->tick();
    EXPECT_TRUE(page->syncPending());
    EXPECT_LE(std::abs(controllerTime() - timeOf(at(2010, 1, 2, 3, 4, 5))), 5);

    pcNow += std::chrono::milliseconds(530);  // 45 s gone, 30 ms into the next second
    page->tick();
    EXPECT_FALSE(page->syncPending());
    EXPECT_TRUE(page->syncButton()->isEnabled());
    EXPECT_FALSE(state.commBusy());
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"write", "close"}));
    EXPECT_EQ(pane->log.commandsAllowed.back(), false);
    EXPECT_LE(std::abs(controllerTime() - timeOf(at(2002, 12, 5, 18, 30, 46))), 1);
}

TEST_F(ClockPageFixture, SyncSetsTheControllerToThePcTime) {
    setControllerClock(at(2010, 1, 2, 3, 4, 5));
    pane->log.interval = 200;
    pane->select(ItemKind::Clock);
    QTest::mouseClick(page->syncButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !page->syncPending(); }, 3000));
    const std::time_t pc = std::time(nullptr);
    EXPECT_LE(std::abs(controllerTime() - pc), 1);
    EXPECT_TRUE(host.messages().empty());
}

}  // namespace
}  // namespace qavix::test
