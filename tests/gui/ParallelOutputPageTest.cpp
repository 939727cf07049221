// The parallel output page against the built-in emulator: the lists for the connected
// sensors, the codes a write sends and what the controller holds afterwards.

#include <gtest/gtest.h>

#include <QFile>

#include "PageTestSupport.h"
#include "RequestLog.h"
#include "TempFolder.h"
#include "frame/PageTable.h"
#include "pages/CView010.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

struct ParallelPageFixture : EmulatorPageFixture {
    void start(const std::string& sensors, const std::string& scenarioLines) {
        connectRead(
            "--sensors " + sensors + scenarioOption("133 = 02\n" + scenarioLines) + logOption(),
            false);
        page = pane->page<CView010>(nav::kViewPage010);
        pane->select(ItemKind::ParallelOutput);
    }
    void readBack() {
        model.working().general.paraRes = {0, 0};
        model.working().general.paraType = {9, 9};
        model.working().general.paraCnf = 9;
        ASSERT_EQ(link->request(133), kRequestOk);
        ASSERT_EQ(link->request(134, 0, 0, 2), kRequestOk);
        ASSERT_EQ(link->request(135, 0, 0, 2), kRequestOk);
    }

    CView010* page = nullptr;
};

TEST_F(ParallelPageFixture, ListsFollowTheConnectedSensorsAndTheStoredCodes) {
    start("40,32,16", "135 = 1602\n134 = 0100\n");
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_EQ(page->arrangementList()->currentText(), "センサ個別処理");
    EXPECT_EQ(itemsOf(page->outputList(0, CView010::kFieldSensor)),
              (QStringList{"CH1", "CH2", "CH3"}));
    // 0x16 = 22: CH2, total, incident, BCD.
    EXPECT_EQ(page->outputList(0, CView010::kFieldSensor)->currentText(), "CH2");
    EXPECT_EQ(page->outputList(0, CView010::kFieldMode)->currentText(), "総光軸数");
    EXPECT_EQ(page->outputList(0, CView010::kFieldState)->currentText(), "入光");
    EXPECT_EQ(page->outputList(0, CView010::kFieldFormat)->currentText(), "BCD");
    EXPECT_EQ(page->outputList(1, CView010::kFieldMode)->currentText(), "最上位光軸番号");
    EXPECT_EQ(page->outputList(1, CView010::kFieldState)->currentText(), "入光");
    EXPECT_EQ(page->outputList(1, CView010::kFieldFormat)->currentText(), "バイナリ");
    EXPECT_FALSE(writeOn());
}

TEST_F(ParallelPageFixture, WrittenCodesAreWhatTheControllerHolds) {
    start("40,32,16", "");
    page->outputList(0, CView010::kFieldSensor)->setCurrentIndex(2);
    page->outputList(0, CView010::kFieldMode)->setCurrentIndex(2);
    page->outputList(0, CView010::kFieldState)->setCurrentIndex(1);
    page->outputList(0, CView010::kFieldFormat)->setCurrentIndex(1);
    page->outputList(1, CView010::kFieldSensor)->setCurrentIndex(0);
    page->outputList(1, CView010::kFieldMode)->setCurrentIndex(0);
    page->outputList(1, CView010::kFieldState)->setCurrentIndex(0);
    page->outputList(1, CView010::kFieldFormat)->setCurrentIndex(0);
    page->arrangementList()->setCurrentIndex(0);
    EXPECT_EQ(page->arrangementList()->fieldState(), FieldState::Changed);
    EXPECT_EQ(page->outputList(1, CView010::kFieldSensor)->fieldState(), FieldState::Unchanged);
    ASSERT_TRUE(writeOn());
    EXPECT_EQ(writeAndLog(),
              (std::vector<std::string>{"SS", "PP 33/0:01", "PP 35/0:2601", "PP 34/0:0100", "ES"}));
    EXPECT_FALSE(writeOn());
    EXPECT_EQ(page->arrangementList()->fieldState(), FieldState::Unchanged);
    EXPECT_FALSE(model.working().anyPageEdited());

    readBack();
    EXPECT_EQ(model.working().general.paraCnf, 1);
    EXPECT_EQ(model.working().general.paraRes, (std::array<int32_t, 2>{0x26, 0x01}));
    EXPECT_EQ(model.working().general.paraType, (std::array<int32_t, 2>{1, 0}));
}

TEST_F(ParallelPageFixture, StoredSensorBeyondTheConnectedOnesStaysSelectedAndWritten) {
    // Output 1 observes CH3 (0x25: total, blocked) on a controller with two sensors.
    start("40,32", "135 = 2501\n");
    QComboBox* sensors = page->outputList(0, CView010::kFieldSensor);
    EXPECT_EQ(itemsOf(sensors), (QStringList{"CH1", "CH2", "CH3"}));
    EXPECT_EQ(sensors->currentText(), "CH3");
    EXPECT_EQ(itemsOf(page->outputList(1, CView010::kFieldSensor)), (QStringList{"CH1", "CH2"}));

    page->outputList(1, CView010::kFieldFormat)->setCurrentIndex(1);
    EXPECT_EQ(writeAndLog(),
              (std::vector<std::string>{"SS", "PP 33/0:02", "PP 35/0:2501", "PP 34/0:0001", "ES"}));
    readBack();
    EXPECT_EQ(model.working().general.paraRes[0], 0x25);

    // Choosing CH2 and coming back to CH3 still names CH3.
    sensors->setCurrentIndex(1);
    EXPECT_TRUE(writeOn());
    sensors->setCurrentIndex(2);
    EXPECT_FALSE(writeOn());
}

TEST_F(ParallelPageFixture, CancelRefillsTheLists) {
    start("40,32", "");
    page->arrangementList()->setCurrentIndex(0);
    page->outputList(0, CView010::kFieldMode)->setCurrentIndex(1);
    QTest::mouseClick(pane->bar()->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(page->arrangementList()->currentIndex(), 1);
    EXPECT_EQ(page->outputList(0, CView010::kFieldMode)->currentIndex(), 0);
    EXPECT_EQ(page->outputList(0, CView010::kFieldMode)->fieldState(), FieldState::Unchanged);
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

}  // namespace
}  // namespace qavix::test
