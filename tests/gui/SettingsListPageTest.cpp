// The settings-list page against the built-in emulator: the blocks its command bar selects
// at the first showing and by the toggles, and the text file it saves.

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "PageTestSupport.h"
#include "SaveDialogAnswer.h"
#include "ShiftJis.h"
#include "TempFolder.h"
#include "frame/CommandIds.h"
#include "frame/PageTable.h"
#include "model/ErrorLog.h"
#include "report/CSelectDlg.h"
#include "report/CView005.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

constexpr const char* kControllerTitle = "コントローラ設定内容一覧";

struct SettingsListFixture : EmulatorPageFixture {
    void open(const std::string& sensors) {
        // The report shows what the initial read brought in; the tree is built for it.
        connectRead("--sensors " + sensors + scenarioOption("61 = 020B002A\n"));
        page = pane->page<CView005>(nav::kViewPage005);
        bar = pane->page<CSelectDlg>(nav::kViewSelectDlg);
        pane->select(ItemKind::SettingsList);
    }
    QString text() const { return page->textView()->toPlainText(); }

    CView005* page = nullptr;
    CSelectDlg* bar = nullptr;
};

TEST_F(SettingsListFixture, FirstShowingOfTwoSensorsShowsControllerAndBothSensors) {
    open("40,32");
    EXPECT_EQ(pane->right->splitterView()->currentPage(), page);
    EXPECT_EQ(pane->right->splitterView()->currentCommandBar(), bar);
    for (int block = 0; block < 3; ++block) {
        EXPECT_TRUE(bar->toggle(block)->isChecked()) << block;
        EXPECT_TRUE(bar->toggle(block)->isVisible()) << block;
    }
    EXPECT_FALSE(bar->toggle(3)->isChecked());
    EXPECT_FALSE(bar->toggle(3)->isVisible());

    const QString shown = text();
    EXPECT_TRUE(shown.contains(kControllerTitle));
    EXPECT_TRUE(shown.contains("センサ　CH1　設定内容一覧"));
    EXPECT_TRUE(shown.contains("センサ　CH2　設定内容一覧"));
    EXPECT_FALSE(shown.contains("CH3　設定内容一覧"));
    // Not in extended mode: the option section is left out.
    EXPECT_FALSE(shown.contains("■オプション設定"));
    // The identity is read for the current values, under the wait window.
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_FALSE(state.commBusy());
    EXPECT_TRUE(shown.contains(QRegularExpression("\n    シリアル№ +0042Y02\n")));
    // The view shows exactly the lines the report holds.
    EXPECT_EQ(shown.split('\n').size(), static_cast<int>(page->reportLines().size()));
    EXPECT_TRUE(page->textView()->isReadOnly());
    EXPECT_TRUE(page->textView()->font().fixedPitch() ||
                page->textView()->font().family().contains("Mono"));
}

// The sensors' serial numbers and IDs are not part of the read of all settings; the list
// reads them itself, without the sensor's operation page having been opened.
TEST_F(SettingsListFixture, SensorIdentityIsReadForTheList) {
    open("40,32");
    const QStringList lines = text().split('\n');
    auto valueAfter = [&lines](const QString& title, const QString& label) {
        const int block = lines.indexOf(QRegularExpression(".*" + title + ".*"));
        const int at = lines.indexOf(QRegularExpression("    " + label + " .*"), block);
        return block < 0 || at < 0 ? QString() : lines[at].mid(label.size() + 4).trimmed();
    };
    // The emulator's factory serials: year 14, month 7, numbers 0210.. by sensor.
    EXPECT_EQ(valueAfter("センサ　CH1", "投光器シリアルNo\\."), "0211714");
    EXPECT_EQ(valueAfter("センサ　CH1", "受光器シリアルNo\\."), "0210714");
    EXPECT_EQ(valueAfter("センサ　CH1", "ＩＤ"), "0001");
    EXPECT_EQ(valueAfter("センサ　CH2", "投光器シリアルNo\\."), "0213714");
    EXPECT_EQ(valueAfter("センサ　CH2", "ＩＤ"), "0002");
}

TEST_F(SettingsListFixture, TogglesRebuildTheReport) {
    open("40,32,24");
    EXPECT_TRUE(bar->toggle(3)->isVisible());
    EXPECT_TRUE(text().contains("センサ　CH3　設定内容一覧"));

    bar->toggle(0)->click();
    EXPECT_FALSE(bar->toggle(0)->isChecked());
    const QString withoutController = text();
    EXPECT_FALSE(withoutController.contains(kControllerTitle));
    EXPECT_FALSE(withoutController.contains("日付"));
    EXPECT_FALSE(withoutController.contains("■ 基本情報"));
    EXPECT_TRUE(
        withoutController.startsWith(QString(15, ' ') + "＃＃　エリアスキャナ　センサ　CH1"));

    bar->toggle(1)->click();
    bar->toggle(2)->click();
    bar->toggle(3)->click();
    EXPECT_TRUE(page->reportLines().empty());
    EXPECT_TRUE(text().isEmpty());

    // The choice stays when the page is left and shown again.
    bar->toggle(2)->click();
    pane->select(ItemKind::Clock);
    pane->select(ItemKind::SettingsList);
    EXPECT_FALSE(bar->toggle(0)->isChecked());
    EXPECT_TRUE(bar->toggle(2)->isChecked());
    EXPECT_TRUE(text().contains("センサ　CH2　設定内容一覧"));
    EXPECT_FALSE(text().contains("CH1　設定内容一覧"));
}

TEST_F(SettingsListFixture, BankSettingsListShowsTheBankWithoutReading) {
    open("40,32");
    model.storedSet(2).general.idText = "000777";
    pane->selectSet(2);
    ASSERT_EQ(model.selectedSet(), 2);
    pane->select(ItemKind::SettingsList, 2);
    EXPECT_EQ(pane->log.waits.size(), 2u);  // only the current values' showing read
    EXPECT_TRUE(text().contains(QRegularExpression("\n    ＩＤ +000777\n")))
        << text().toStdString();
}

TEST_F(SettingsListFixture, PrintButtonOpensThePreview) {
    open("40");
    ModalAnswerer answer(false);
    bar->printButton()->click();
    EXPECT_EQ(answer.texts(), std::vector<std::string>{"CPrintPreView"});
    EXPECT_EQ(pane->right->splitterView()->currentPage(), page);
}

TEST_F(SettingsListFixture, SavedTextIsThePagesTextInShiftJis) {
    open("40,32");
    const QString path = filePathOf(dir, "report.TXT");
    ASSERT_TRUE(page->saveTextTo(path));
    const QByteArray bytes = fileBytes(path);

    std::string shown = text().toStdString();
    std::string crlf;
    for (char c : shown) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    const sjis::Conversion expected = sjis::toCp932(crlf);
    ASSERT_TRUE(expected.complete);
    EXPECT_EQ(bytes.toStdString(), expected.text);
    // Full-width text really is two bytes a character: "■" is 0x81 0xA1.
    EXPECT_TRUE(bytes.contains("\x81\xa1"));
    EXPECT_TRUE(host.messages().empty());

    // Saving again replaces the file.
    bar->toggle(0)->click();
    ASSERT_TRUE(page->saveTextTo(path));
    EXPECT_LT(fileBytes(path).size(), bytes.size());
}

TEST_F(SettingsListFixture, SaveButtonAsksForATextFile) {
    open("40");
    {
        SaveDialogAnswer cancel{QString()};
        bar->saveButton()->click();
        ASSERT_TRUE(cancel.answered());
        EXPECT_EQ(cancel.seen().title, "ファイルの保存");
        EXPECT_EQ(cancel.seen().suffix, "TXT");
        EXPECT_EQ(cancel.seen().shownFilters, QStringList{"TXT Files (.TXT)"});
    }
    const QString path = filePathOf(dir, "list.TXT");
    EXPECT_FALSE(QFile::exists(path));
    SaveDialogAnswer choose(path);
    bar->saveButton()->click();
    ASSERT_TRUE(choose.answered());
    EXPECT_EQ(fileBytes(path).toStdString(), sjis::toCp932(page->reportText()).text);
}

TEST_F(SettingsListFixture, SaveThatCannotWriteSaysSoAndLeavesNoFile) {
    open("40");
    const QString path = filePathOf(dir, "missing/report.TXT");
    EXPECT_FALSE(page->saveTextTo(path));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"ファイル,オープンできません"});
    EXPECT_FALSE(QFile::exists(path));
    // One sensor: only the CH1 toggle of the sensors is offered.
    EXPECT_TRUE(bar->toggle(1)->isVisible());
    EXPECT_FALSE(bar->toggle(2)->isVisible());
    EXPECT_FALSE(bar->toggle(3)->isVisible());
}

TEST_F(SettingsListFixture, ExtendedModeAddsItsSections) {
    state.extendedMode = true;
    open("40,32");
    EXPECT_TRUE(text().contains("■オプション設定"));
    EXPECT_TRUE(text().contains("■機能設定"));
}

// The main frame's print, preview and print set-up reach the settings list, and only it.
TEST(SettingsListInFrame, PrintCommandsReachThePageOnlyWhileItIsShown) {
    FrameFixture f;
    auto frame = f.makeFrame();
    RecordingHost host;
    FrameHookLog log;
    installPageViews(*frame->rightPane()->splitterView(), pageContext(f.state, f.link, host, log));
    CLeftPaneView* tree = frame->tree();
    const int commands[] = {kCmdPrint, kCmdPrintPreview, kCmdPrintSetup};

    tree->tree()->setCurrentItem(tree->findItem(ItemKind::SettingsList, 0));
    frame->updateCommandStates();
    for (int id : commands) {
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
    }
    {
        ModalAnswerer answer(false);
        frame->action(kCmdPrintPreview)->trigger();
        frame->action(kCmdPrintSetup)->trigger();
        frame->action(kCmdPrint)->trigger();
        EXPECT_EQ(answer.texts(),
                  (std::vector<std::string>{"CPrintPreView", "printSetupDialog", "printDialog"}));
    }

    tree->tree()->setCurrentItem(tree->findItem(ItemKind::BasicInfo, 0));
    frame->updateCommandStates();
    for (int id : commands) {
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    }
}

}  // namespace
}  // namespace qavix::test
