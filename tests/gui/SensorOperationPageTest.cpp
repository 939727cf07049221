// The sensor operation settings page against the built-in emulator: the rows of CH1 and
// the other channels, the threshold limits, the beam-page buttons, per-channel edits and
// what a write leaves in the controller.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "AccessibleNames.h"
#include "PageTestSupport.h"
#include "RequestLog.h"
#include "TempFolder.h"
#include "frame/PageTable.h"
#include "pages/CView016.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

struct SensorPageFixture : EmulatorPageFixture {
    void start(bool extended) {
        state.extendedMode = extended;
        connectRead("--sensors 40,32" + logOption());
        page = pane->page<CView016>(nav::kViewPage016);
    }
    void show(int channel) { pane->select(ItemKind::SensorOperation, kCurrentSet, channel); }
    // Types into a threshold box and moves the focus on, as leaving the box does.
    void typeThreshold(QLineEdit* box, const QString& text) {
        box->setFocus();
        typeOver(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    QWidget* defaults() const { return pane->bar()->pageActionButton(); }

    CView016* page = nullptr;
};

TEST_F(SensorPageFixture, Ch1ShowsOutputsAndOtherChannelsDoNot) {
    start(true);
    show(1);
    EXPECT_EQ(page->channel(), 1);
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_TRUE(page->list(CView016::kFieldOut2)->isVisible());
    EXPECT_TRUE(page->list(CView016::kFieldOut3)->isVisible());
    EXPECT_TRUE(page->list(CView016::kFieldFloating)->isVisible());
    EXPECT_EQ(page->onBox()->text(), "50");
    EXPECT_EQ(page->offBox()->text(), "40");
    EXPECT_EQ(page->idBox()->maxLength(), 4);
    EXPECT_FALSE(page->modelBox()->text().isEmpty());
    EXPECT_TRUE(defaults()->isVisible());
    EXPECT_EQ(pane->bar()->pageActionButton()->text(), CView016::kDefaultsText);

    show(2);
    EXPECT_EQ(page->channel(), 2);
    EXPECT_FALSE(page->list(CView016::kFieldOut2)->isVisible());
    EXPECT_FALSE(page->list(CView016::kFieldOut3)->isVisible());
    EXPECT_FALSE(page->designateButton()->isVisible());
    EXPECT_FALSE(page->list(CView016::kFieldFloating)->isVisible());
    EXPECT_FALSE(page->fixedBeamsButton()->isVisible());
    EXPECT_TRUE(page->list(CView016::kFieldMode)->isVisible());

    // Another page's bar shows no defaults button.
    pane->select(ItemKind::Clock);
    EXPECT_FALSE(defaults()->isVisible());
}

// Every box shown carries a label of its own on screen, the two serial numbers included.
TEST_F(SensorPageFixture, EveryShownBoxHasAVisibleLabel) {
    start(true);
    show(1);
    const QList<QLabel*> labels = page->findChildren<QLabel*>();
    auto labelOf = [&](const QWidget* box) -> QLabel* {
        for (QLabel* l : labels) {
            if (l->buddy() == box && l->isVisible() && !l->text().isEmpty()) {
                return l;
            }
        }
        return nullptr;
    };
    int boxes = 0;
    for (QWidget* box : page->findChildren<QWidget*>()) {
        if ((qobject_cast<QLineEdit*>(box) == nullptr &&
             qobject_cast<QComboBox*>(box) == nullptr) ||
            !box->isVisible() || qobject_cast<QComboBox*>(box->parentWidget()) != nullptr) {
            continue;
        }
        ++boxes;
        // A box alone in a titled group is labelled by the group's title.
        const auto* group = qobject_cast<const QGroupBox*>(box->parentWidget());
        const bool titled = group != nullptr && group->title() == box->accessibleName();
        EXPECT_TRUE(labelOf(box) != nullptr || titled) << box->objectName().toStdString();
    }
    EXPECT_GE(boxes, 8);
    QLabel* receiver = labelOf(page->findChild<QLineEdit*>("edit1069"));
    ASSERT_NE(receiver, nullptr);
    EXPECT_EQ(receiver->text(), "シリアルNo. 受光器");

    // A screen reader hears the lists by their labels, not as two lists called "無効".
    EXPECT_EQ(dropDownsNotCalledByTheirLabel(page), std::vector<std::string>{});
    QAccessibleInterface* fixed =
        QAccessible::queryAccessibleInterface(page->list(CView016::kFieldFixed));
    EXPECT_EQ(fixed->text(QAccessible::Name), "Ｆｉｘ　Ｂｌａｎｋｉｎｇ　設定");
    EXPECT_EQ(fixed->text(QAccessible::Value), "無効");
}

TEST_F(SensorPageFixture, DefaultsButtonOfOtherChannelsNeedsTheExtendedMode) {
    start(false);
    show(2);
    EXPECT_FALSE(defaults()->isVisible());
    EXPECT_TRUE(page->onBox()->isReadOnly());
    show(1);
    EXPECT_TRUE(defaults()->isVisible());
    EXPECT_FALSE(page->list(CView016::kFieldFloating)->isVisible());
    EXPECT_FALSE(page->fixedBeamsButton()->isVisible());
}

// The identification belongs to the sensor, not to a bank: a bank write would drop it and
// still report success, so it is not offered for editing while a bank is shown.
TEST_F(SensorPageFixture, IdentificationIsEditableOnlyOnTheCurrentValues) {
    start(true);
    show(1);
    EXPECT_FALSE(page->idBox()->isReadOnly());
    const QColor pageColour = page->palette().color(QPalette::Window);
    EXPECT_NE(page->idBox()->palette().color(QPalette::Base), pageColour);
    pane->selectSet(2);
    pane->select(ItemKind::SensorOperation, 2, 1);
    EXPECT_TRUE(page->idBox()->isReadOnly());
    // It looks as read-only as it is.
    EXPECT_EQ(page->idBox()->palette().color(QPalette::Base), pageColour);
    EXPECT_EQ(pane->bar()->writeButton()->text(), "適用");
    page->list(CView016::kFieldOut2)->setCurrentIndex(2);
    EXPECT_TRUE(writeAndLog().empty());
    EXPECT_NE(model.storedSet(2).edited, 0);
}

TEST_F(SensorPageFixture, ThresholdsAreLimitedWhenTheBoxIsLeft) {
    start(true);
    show(1);
    typeThreshold(page->onBox(), "5");
    EXPECT_EQ(page->onBox()->text(), "18");
    EXPECT_EQ(page->offBox()->text(), "8");  // the controller's difference is 10
    EXPECT_TRUE(writeOn());
    typeThreshold(page->offBox(), "120");
    EXPECT_EQ(page->offBox()->text(), "90");
    EXPECT_EQ(page->onBox()->text(), "100");
    typeThreshold(page->offBox(), "95");
    EXPECT_EQ(page->offBox()->text(), "95");
    typeThreshold(page->offBox(), "40");
    EXPECT_EQ(page->onBox()->text(), "50");
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(SensorPageFixture, DesignateButtonFollowsTheOutputsAndOpensTheBeamPage) {
    start(true);
    show(1);
    EXPECT_FALSE(page->designateButton()->isEnabled());
    page->list(CView016::kFieldOut3)->setCurrentIndex(6);
    EXPECT_TRUE(page->designateButton()->isEnabled());
    page->list(CView016::kFieldOut3)->setCurrentIndex(0);
    EXPECT_FALSE(page->designateButton()->isEnabled());
    page->list(CView016::kFieldOut2)->setCurrentIndex(6);
    ASSERT_TRUE(page->designateButton()->isEnabled());

    QTest::mouseClick(page->designateButton(), Qt::LeftButton);
    EXPECT_EQ(pane->tree->pageIndex(), nav::kPageBlanking);
    EXPECT_EQ(state.currentPage, nav::kPageBlanking);
    EXPECT_EQ(state.beamTable, AppState::BeamFlagTable::Designated);
    EXPECT_EQ(state.blankingChannel, 0);
    EXPECT_EQ(pane->right->splitterView()->currentPage()->className(), "CView007");

    // Back on the page its edit is still there.
    pane->tree->closeBeamPage(nav::kPageSensorOperation);
    EXPECT_EQ(state.currentPage, nav::kPageSensorOperation);
    EXPECT_EQ(state.selectedChannel, 1);
    EXPECT_EQ(page->list(CView016::kFieldOut2)->currentIndex(), 6);
    EXPECT_TRUE(writeOn());
}

TEST_F(SensorPageFixture, FixedBlankingButtonOpensTheListPageWhenChosen) {
    start(true);
    state.user.blanking = 1;
    show(1);
    EXPECT_FALSE(page->fixedBeamsButton()->isEnabled());
    page->list(CView016::kFieldFixed)->setCurrentIndex(kChoiceEnabled);
    QTest::mouseClick(page->fixedBeamsButton(), Qt::LeftButton);
    EXPECT_EQ(pane->tree->pageIndex(), nav::kPageBeamDesignation);
    EXPECT_EQ(state.beamTable, AppState::BeamFlagTable::FixedBlanking);
    EXPECT_EQ(pane->right->splitterView()->currentPage()->className(), "CView017");
}

TEST_F(SensorPageFixture, EachChannelKeepsItsOwnEdits) {
    start(true);
    show(1);
    typeThreshold(page->onBox(), "60");
    show(2);
    EXPECT_EQ(page->onBox()->text(), "50");
    EXPECT_FALSE(writeOn());
    show(1);
    EXPECT_EQ(page->onBox()->text(), "60");
    EXPECT_TRUE(writeOn());
    EXPECT_TRUE(model.working().pageEdited[kEditedSensorCh1 - 1]);
    EXPECT_FALSE(model.working().pageEdited[kEditedSensorCh1]);
}

TEST_F(SensorPageFixture, Ch1WriteReachesTheControllerAndPassesBlankingOn) {
    start(true);
    show(1);
    typeOver(page->idBox(), "1f");
    page->list(CView016::kFieldOut2)->setCurrentIndex(3);
    typeThreshold(page->onBox(), "70");
    page->list(CView016::kFieldFloating)->setCurrentIndex(kChoiceEnabled);
    EXPECT_TRUE(page->list(CView016::kFieldMode)->isEnabled());
    page->list(CView016::kFieldBeams)->setCurrentIndex(2);
    EXPECT_EQ(writeAndLog(),
              (std::vector<std::string>{"SS", "PP 8/0:001F", "PP 10/0:03", "PP 6/0:46", "PP 7/0:3C",
                                        "PP 27/0:46", "PP 19/0:01", "PP 19/1:01", "PP 22/0:02",
                                        "PP 16/1:00", "ES"}));
    EXPECT_EQ(page->idBox()->text(), "001F");
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(model.working().anyPageEdited());
    EXPECT_TRUE(host.messages().empty());

    ChannelRecord& ch2 = model.working().channel(1);
    ch2.functionBit2 = 0;
    ASSERT_EQ(link->request(98, 2, 1, 1), kRequestOk);
    EXPECT_EQ(ch2.functionBit2, 1);
    ChannelRecord& ch1 = model.working().channel(0);
    ch1 = ChannelRecord{};
    for (int code : {67, 68, 73, 101}) {
        ASSERT_EQ(link->request(code, 1, 0, 1), kRequestOk);
    }
    ASSERT_EQ(link->request(69, 1, 0, 2), kRequestOk);
    EXPECT_EQ(ch1.onTh, 70);
    EXPECT_EQ(ch1.offTh, 60);
    EXPECT_EQ(ch1.subConf, 0x03);
    EXPECT_EQ(ch1.floConf & 0x0F, 2);
    EXPECT_EQ(ch1.sensorId, "001F");
}

TEST_F(SensorPageFixture, InvalidIdIsRefusedAndCancelRestoresTheChannel) {
    start(false);
    show(2);
    typeOver(page->idBox(), "1x");
    EXPECT_EQ(host.messages(), std::vector<std::string>{"有効なIDの範囲を超えています。"});
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(pane->bar()->cancelButton()->isEnabled());
    EXPECT_FALSE(page->writePage());
    QTest::mouseClick(pane->bar()->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(page->idBox()->text().toStdString(), model.working().channel(1).sensorId);
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(SensorPageFixture, DefaultsSetOutputsAndInTheExtendedModeThresholds) {
    start(true);
    show(1);
    page->list(CView016::kFieldOut2)->setCurrentIndex(0);
    page->list(CView016::kFieldOut3)->setCurrentIndex(5);
    QTest::mouseClick(pane->bar()->pageActionButton(), Qt::LeftButton);
    EXPECT_EQ(page->list(CView016::kFieldOut2)->currentText(), "OUT1　反転出力");
    EXPECT_EQ(page->list(CView016::kFieldOut3)->currentText(), "OUT1　同期出力");
    EXPECT_EQ(page->onBox()->text(), "18");
    EXPECT_EQ(page->offBox()->text(), "8");
    EXPECT_EQ(page->list(CView016::kFieldMode)->currentText(), "非連続");
    EXPECT_EQ(page->list(CView016::kFieldBeams)->currentText(), "-");
    EXPECT_TRUE(writeOn());
    EXPECT_TRUE(model.working().pageEdited[kEditedSensorCh1 - 1]);
}

}  // namespace
}  // namespace qavix::test
