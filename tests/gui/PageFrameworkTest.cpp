// The setting page pattern on a page of two fields (a numeric box and a drop-down list)
// placed where the overall ON/OFF judgement page goes: edit marking, the command bar's
// buttons, write and apply, cancel, and the reload after a set switch.

#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "frame/PageTable.h"
#include "pages/CView001.h"
#include "pages/FieldColours.h"
#include "pages/SettingPage.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

constexpr int kOverallView = 14;
constexpr const char* kRangeMessage = "1～128の範囲で入力してください。";

// ALL_ON of the first sensor in an edit box (1..128) and FIX_CNF1 in a drop-down list.
class TwoFieldPage : public SettingPage {
  public:
    explicit TwoFieldPage(const PageContext& context)
        : SettingPage("CView009", context, nav::kPageOverallJudgement, kEditedOverallJudgement, 2) {
        box = new QLineEdit(this);
        list = new FieldComboBox(this);
        list->addItems({"OFF", "ON"});
        box->move(10, 10);
        list->move(10, 50);
        connect(box, &QLineEdit::textEdited, this, [this] {
            fieldEdited(0, valueValid() ? FieldState::Changed : FieldState::Invalid);
        });
        connect(list, &QComboBox::activated, this,
                [this] { choiceEdited(1, list->currentIndex() != working().general.fixCnf[0]); });
    }

    bool valueValid() const {
        bool ok = false;
        const int v = box->text().toInt(&ok);
        return ok && v >= 1 && v <= 128;
    }

    QLineEdit* box = nullptr;
    FieldComboBox* list = nullptr;
    int fills = 0;

  protected:
    void fillFromWorkingSet() override {
        ++fills;
        box->setText(QString::number(working().general.allOn[0]));
        list->setCurrentIndex(working().general.fixCnf[0] != 0 ? 1 : 0);
    }
    bool differsFromWorkingSet() const override {
        return box->text() != QString::number(working().general.allOn[0]) ||
               list->currentIndex() != working().general.fixCnf[0];
    }
    bool checkFields() override {
        if (valueValid()) {
            return true;
        }
        showMessage(kRangeMessage);
        focusAndSelect(box);
        return false;
    }
    std::vector<codec::PutRequest> pagePuts() override {
        SettingsData values = working();
        values.general.allOn[0] = box->text().toInt();
        values.general.fixCnf[0] = list->currentIndex();
        return {codec::encodePut(31, 0, values), codec::encodePut(30, 0, values)};
    }
    void repaintFields() override {
        paintField(box, editState().field(0));
        list->setFieldState(editState().field(1));
    }
    void focusFirstField() override { box->setFocus(); }
};

struct FrameworkFixture : ::testing::Test {
    void SetUp() override {
        fillModel(model, 2);
        model.working().general.allOn = {10, 20, 30};
        static_cast<SettingsData&>(model.storedSet(kCurrentSet)) = model.working();
        for (int b = 1; b <= kBankCount; ++b) {
            static_cast<SettingsData&>(model.storedSet(b)) = model.working();
            model.storedSet(b).compatible = 1;
            model.storedSet(b).loaded = 1;
        }
        model.storedSet(2).general.allOn[0] = 77;
        pane = std::make_unique<PagePane>(state, link, banks, host);
        page = new TwoFieldPage(pane->context);
        pane->right->splitterView()->installView(kOverallView, page);
        pane->select(ItemKind::OverallJudgement);
    }

    void type(const QString& text) { typeOver(page->box, text); }
    bool writeOn() const { return pane->bar()->writeButton()->isEnabled(); }
    bool cancelOn() const { return pane->bar()->cancelButton()->isEnabled(); }
    QColor boxColour() const { return page->box->palette().color(QPalette::Base); }

    DeviceModel model;
    RecordingHost host;
    CCommLink link{host, model};  // never started: every request to the controller fails
    Transactions transactions{link, model};
    CBankManager banks{model, transactions};
    AppState state{model};
    std::unique_ptr<PagePane> pane;
    TwoFieldPage* page = nullptr;
};

TEST_F(FrameworkFixture, ShownPageIsFilledFromTheWorkingSetAndClean) {
    EXPECT_EQ(state.currentPage, nav::kPageOverallJudgement);
    EXPECT_EQ(pane->right->splitterView()->currentPage(), page);
    EXPECT_EQ(page->box->text(), "10");
    EXPECT_TRUE(page->loaded());
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_EQ(pane->bar()->writeButton()->text(), "書込み");
    // A page with nothing to read from the controller opens no wait window.
    EXPECT_TRUE(pane->log.waits.empty());
}

TEST_F(FrameworkFixture, ValueTypedThenRestoredMakesThePageCleanAgain) {
    const QColor normal = boxColour();
    type("12");
    EXPECT_TRUE(writeOn());
    EXPECT_TRUE(cancelOn());
    EXPECT_EQ(boxColour(), kChangedFieldColour);
    EXPECT_TRUE(model.working().pageEdited[kEditedOverallJudgement - 1]);

    type("10");
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_EQ(boxColour(), normal);
    EXPECT_FALSE(page->editState().changed());
    EXPECT_FALSE(model.working().anyPageEdited());

    // The drop-down list the same way, with its own painting.
    choose(page->list, 1);
    EXPECT_EQ(page->list->fieldState(), FieldState::Changed);
    EXPECT_TRUE(writeOn());
    choose(page->list, 0);
    EXPECT_EQ(page->list->fieldState(), FieldState::Unchanged);
    EXPECT_FALSE(cancelOn());
}

TEST_F(FrameworkFixture, InvalidFieldAndValidChangeLeaveCancelButNotWrite) {
    choose(page->list, 1);
    type("200");
    EXPECT_EQ(boxColour(), kInvalidFieldColour);
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(cancelOn());
    // Painting changes nothing on the bar; showing the page again puts the page's state back
    // on it, whatever enabled it meanwhile.
    pane->bar()->setWriteCancelEnabled(true);
    page->repaint();
    EXPECT_TRUE(writeOn());
    page->pageShown(QString());
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(cancelOn());

    // Writing anyway (the button is the only way in the program) is refused by the check.
    EXPECT_FALSE(page->writePage());
    EXPECT_EQ(host.messages(), std::vector<std::string>{kRangeMessage});
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(cancelOn());
    EXPECT_TRUE(pane->log.waits.empty());

    QTest::mouseClick(pane->bar()->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(page->box->text(), "10");
    EXPECT_EQ(page->list->currentIndex(), 0);
    EXPECT_EQ(page->list->fieldState(), FieldState::Unchanged);
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(FrameworkFixture, FailedWriteToTheControllerKeepsTheEdits) {
    type("12");
    QTest::mouseClick(pane->bar()->writeButton(), Qt::LeftButton);
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"write", "close"}));
    EXPECT_EQ(pane->log.busyAtWait, std::vector<bool>{true});
    EXPECT_EQ(model.working().general.allOn[0], 10);
    EXPECT_EQ(page->box->text(), "12");
    EXPECT_TRUE(page->editState().changed());
    EXPECT_TRUE(model.working().pageEdited[kEditedOverallJudgement - 1]);
    // The user can retry or cancel.
    EXPECT_TRUE(writeOn());
    EXPECT_TRUE(cancelOn());
    EXPECT_FALSE(state.commBusy());
}

TEST_F(FrameworkFixture, ApplyWithABankSelectedChangesTheWorkingSetAndMarksTheBank) {
    pane->selectSet(1);
    pane->select(ItemKind::OverallJudgement, 1);
    ASSERT_EQ(model.selectedSet(), 1);
    EXPECT_EQ(pane->bar()->writeButton()->text(), "適用");
    type("55");
    choose(page->list, 1);
    QTest::mouseClick(pane->bar()->writeButton(), Qt::LeftButton);
    // Nothing reached the controller (the link would have failed); the values are applied.
    EXPECT_EQ(model.working().general.allOn[0], 55);
    EXPECT_EQ(model.working().general.allOn[1], 20);
    EXPECT_EQ(model.working().general.fixCnf[0], 1);
    EXPECT_EQ(model.storedSet(1).edited, 1);
    EXPECT_FALSE(page->editState().changed());
    EXPECT_FALSE(model.working().pageEdited[kEditedOverallJudgement - 1]);
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
}

TEST_F(FrameworkFixture, PagesMarkedAfterASetSwitchReloadOnTheirNextShowing) {
    // The basic information page reads the controller itself; a switch leaves it alone.
    auto* basic = pane->page<PaneView>(nav::kViewPage001);
    pane->select(ItemKind::BasicInfo);
    ASSERT_FALSE(basic->reloadPending());
    pane->select(ItemKind::OverallJudgement);
    const int fills = page->fills;
    pane->selectSet(2);
    EXPECT_TRUE(page->reloadPending());
    EXPECT_FALSE(basic->reloadPending());
    EXPECT_EQ(page->fills, fills);  // not before it is shown

    pane->select(ItemKind::OverallJudgement, 2);
    EXPECT_EQ(page->fills, fills + 1);
    EXPECT_EQ(page->box->text(), "77");
    EXPECT_FALSE(page->reloadPending());

    // Showing it again without a switch keeps what it holds.
    type("78");
    pane->select(ItemKind::Pio, 2);
    pane->select(ItemKind::OverallJudgement, 2);
    EXPECT_EQ(page->fills, fills + 1);
    EXPECT_EQ(page->box->text(), "78");
}

TEST_F(FrameworkFixture, FailedFirstReadLeavesThePageUntilAReloadIsAsked) {
    auto* basic = pane->page<CView001>(nav::kViewPage001);
    pane->select(ItemKind::BasicInfo);
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_TRUE(basic->idBox()->text().isEmpty());
    EXPECT_FALSE(basic->reloadPending());
    EXPECT_FALSE(state.commBusy());
    EXPECT_FALSE(writeOn());

    pane->select(ItemKind::Pio);
    const size_t before = pane->log.waits.size();  // the P-I/O page reads for itself
    pane->select(ItemKind::BasicInfo);
    EXPECT_EQ(pane->log.waits.size(), before);
}

}  // namespace
}  // namespace qavix::test
