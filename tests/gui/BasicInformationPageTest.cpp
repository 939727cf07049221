// The basic information page against the built-in emulator: the first showing reads the
// controller, the ID is checked while typing and on write, and what is written is what the
// controller holds afterwards.

#include <gtest/gtest.h>

#include <QFile>

#include "PageTestSupport.h"
#include "TempFolder.h"
#include "frame/PageTable.h"
#include "model/IdentificationNumber.h"
#include "pages/CView001.h"
#include "pages/FieldColours.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

struct BasicPageFixture : EmulatorPageFixture {
    // A controller with two sensors whose serial number has month part 0C.
    void SetUp() override {
        connect("--sensors 40,32" + scenarioOption("61 = 140C002A\n"));
        page = pane->page<CView001>(nav::kViewPage001);
    }

    void typeId(const QString& text) { typeOver(page->idBox(), text); }
    QColor idColour() const { return page->idBox()->palette().color(QPalette::Base); }

    CView001* page = nullptr;
};

TEST_F(BasicPageFixture, FirstShowingReadsAndShowsTheController) {
    ASSERT_TRUE(model.working().general.idText.empty());
    pane->select(ItemKind::BasicInfo);
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_EQ(pane->log.busyAtWait, std::vector<bool>{true});
    const QStringList expected = {
        "QX-AS300 CONTROLLER ", "01.20",         "000101", "0042Z20", "2", "3.6ms",
        "1.2ms / 4.8ms",        "2.4ms / 6.0ms",
    };
    for (int i = 0; i < CView001::kFieldCount; ++i) {
        EXPECT_EQ(page->box(i)->text(), expected[i]) << "box " << i;
        EXPECT_EQ(page->box(i)->isReadOnly(), i != CView001::kIdField);
    }
    EXPECT_EQ(page->idBox()->maxLength(), kIdMaxLength);
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(state.commBusy());
    EXPECT_TRUE(host.messages().empty());

    // The page reads only once: leaving and coming back shows what it holds.
    page->idBox()->setText("12");
    pane->select(ItemKind::Clock);
    pane->select(ItemKind::BasicInfo);
    EXPECT_EQ(pane->log.waits.size(), 2u);
    EXPECT_EQ(page->idBox()->text(), "12");
}

TEST_F(BasicPageFixture, HidingThePageKeepsAnotherTransfersBusyFlag) {
    pane->select(ItemKind::BasicInfo);
    ASSERT_FALSE(state.commBusy());
    // A bank write holds the line when the window is minimised, which hides the page.
    state.setCommBusy(true);
    page->hide();
    EXPECT_TRUE(state.commBusy());
    state.setCommBusy(false);
}

TEST_F(BasicPageFixture, InvalidCharacterIsRefusedWhileTyping) {
    pane->select(ItemKind::BasicInfo);
    const QColor normal = idColour();
    typeId("1");
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(idColour(), kChangedFieldColour);
    EXPECT_TRUE(writeOn());
    typeId("1g");
    EXPECT_EQ(host.messages(), std::vector<std::string>{kIdOutOfRangeMessage});
    EXPECT_EQ(idColour(), kInvalidFieldColour);
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(cancelOn());
    EXPECT_EQ(page->idBox()->selectedText(), "1g");
    EXPECT_TRUE(model.working().pageEdited[kEditedBasicInformation - 1]);

    // The stored number typed back: nothing to write or cancel.
    typeId("000101");
    EXPECT_EQ(idColour(), normal);
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(BasicPageFixture, WrittenIdIsWhatTheControllerHoldsAfterwards) {
    pane->select(ItemKind::BasicInfo);
    typeId("abc");
    ASSERT_TRUE(writeOn());
    QTest::mouseClick(pane->bar()->writeButton(), Qt::LeftButton);
    EXPECT_EQ(pane->log.waits.back(), "close");
    EXPECT_EQ(page->idBox()->text(), "abc");
    EXPECT_EQ(page->editState().field(0), FieldState::Unchanged);
    EXPECT_FALSE(model.working().anyPageEdited());
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_TRUE(host.messages().empty());

    model.working().general.idText.clear();
    ASSERT_EQ(link->request(62), kRequestOk);
    EXPECT_EQ(model.working().general.idText, "000ABC");
}

TEST_F(BasicPageFixture, CancelPutsTheStoredNumberBack) {
    pane->select(ItemKind::BasicInfo);
    typeId("12g");
    QTest::mouseClick(pane->bar()->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(page->idBox()->text(), "000101");
    EXPECT_EQ(page->editState().field(0), FieldState::Unchanged);
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(BasicPageFixture, InvalidIdIsRefusedOnWriteAndNothingIsSent) {
    pane->select(ItemKind::BasicInfo);
    page->idBox()->setText("xyz");  // as a paste that bypassed the typing check would
    EXPECT_FALSE(page->writePage());
    EXPECT_EQ(host.messages(), std::vector<std::string>{kIdOutOfRangeMessage});
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(cancelOn());
    ASSERT_EQ(link->request(62), kRequestOk);
    EXPECT_EQ(model.working().general.idText, "000101");
}

}  // namespace
}  // namespace qavix::test
