// The received-light list (page 5) against the built-in emulator: rows and their
// thresholds, typed thresholds and their limits through the cell editor, write and cancel,
// channel-threshold mode, continuous update and the CSV file.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <fstream>

#include "LanguageChoice.h"
#include "MessageCatalogue.h"
#include "PageTestSupport.h"
#include "TempFolder.h"
#include "files/TextFile.h"
#include "frame/PageTable.h"
#include "model/PageEditState.h"
#include "monitor/CListDlg.h"
#include "monitor/CView003.h"

namespace qavix::test {
namespace {

using chart::ThresholdPair;
using nav::ItemKind;

struct ListFixture : EmulatorPageFixture {
    void open(const std::string& sensors) {
        // The tree grows its sensor and bank items from what was read.
        connectRead("--sensors " + sensors);
        page = pane->page<CView003>(nav::kViewPage003);
        pane->select(ItemKind::LevelList);
    }
    QString cell(int row, int column) const { return page->list()->item(row, column)->text(); }
    CLevelListBar* bar() const { return page->commandControls(); }
    // Types into the open cell editor and leaves it with `key`.
    void typeIntoEditor(const QString& text, Qt::Key key = Qt::Key_Return) {
        settle();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, key);
        settle();
    }

    CView003* page = nullptr;
};

TEST_F(ListFixture, RowsShowTheDerivedThresholdsAndLevels) {
    open("40");
    ASSERT_EQ(page->list()->rowCount(), 40);
    EXPECT_EQ(cell(4, CLevelListTable::kBeamColumn), "CH1_光軸   5");
    EXPECT_EQ(cell(9, CLevelListTable::kBeamColumn), "CH1_光軸 10");
    const ChannelRecord& ch = model.working().channel(0);
    const int32_t entry = ch.axisTh[6];
    const ThresholdPair expected =
        ch.thCnf != 0 ? ThresholdPair{entry, entry - ch.hys} : ThresholdPair{entry + ch.hys, entry};
    EXPECT_EQ(cell(6, CLevelListTable::kOnColumn), QString::number(expected.on));
    EXPECT_EQ(cell(6, CLevelListTable::kOffColumn), QString::number(expected.off));
    EXPECT_EQ(cell(6, CLevelListTable::kLevelColumn),
              QString::number(std::min(ch.absLevel[6], 200)));
    EXPECT_FALSE(bar()->writeButton()->isEnabled());
    EXPECT_FALSE(bar()->cancelButton()->isEnabled());
    EXPECT_FALSE(state.commBusy());
    // The list bar shows the page's controls and its save.
    auto* listBar = pane->right->splitterView()->view(nav::kViewListDlg);
    EXPECT_TRUE(bar()->isVisibleTo(listBar));
    EXPECT_TRUE(static_cast<CListDlg*>(listBar)->saveButton()->isVisibleTo(listBar));
}

TEST_F(ListFixture, TypedThresholdsKeepBothWithinLimits) {
    open("40");
    model.working().channel(0).hys = 5;
    const QString on = cell(0, CLevelListTable::kOnColumn);
    const QString off = cell(0, CLevelListTable::kOffColumn);

    page->editCell(0, CLevelListTable::kOnColumn);
    typeIntoEditor("10");
    EXPECT_EQ(cell(0, CLevelListTable::kOnColumn), on);
    EXPECT_EQ(cell(0, CLevelListTable::kOffColumn), off);
    EXPECT_FALSE(bar()->writeButton()->isEnabled());

    page->editCell(0, CLevelListTable::kOnColumn);
    typeIntoEditor("13");
    EXPECT_EQ(cell(0, CLevelListTable::kOnColumn), "13");
    EXPECT_EQ(cell(0, CLevelListTable::kOffColumn), "8");
    EXPECT_TRUE(bar()->writeButton()->isEnabled());
    EXPECT_TRUE(bar()->cancelButton()->isEnabled());
    EXPECT_TRUE(pageEdited(model.working(), CView003::kPageEditedFlag));
    // Enter went on to the next row's ON cell.
    EXPECT_EQ(page->list()->currentRow(), 1);
    EXPECT_EQ(page->list()->currentColumn(), CLevelListTable::kOnColumn);

    EXPECT_FALSE(page->typeCell(2, CLevelListTable::kOffColumn, "198"));
    EXPECT_FALSE(page->typeCell(2, CLevelListTable::kOffColumn, "abc"));
    EXPECT_TRUE(page->typeCell(2, CLevelListTable::kOffColumn, "195"));
    EXPECT_EQ(cell(2, CLevelListTable::kOnColumn), "200");
    // A threshold typed on the OFF side reads with one space after it, also when the cell
    // is left again unchanged; a number typed on the ON side reads plain.
    EXPECT_EQ(cell(2, CLevelListTable::kOffColumn), "195 ");
    EXPECT_FALSE(page->typeCell(2, CLevelListTable::kOffColumn, "195 "));
    EXPECT_EQ(cell(2, CLevelListTable::kOffColumn), "195 ");
    page->editCell(2, CLevelListTable::kOnColumn);
    typeIntoEditor("190");
    EXPECT_EQ(cell(2, CLevelListTable::kOnColumn), "190");
    EXPECT_EQ(cell(2, CLevelListTable::kOffColumn), "185");

    // Cancel shows the working set's thresholds again and nothing is edited.
    bar()->cancelButton()->click();
    EXPECT_EQ(cell(0, CLevelListTable::kOnColumn), on);
    EXPECT_FALSE(bar()->writeButton()->isEnabled());
    EXPECT_FALSE(pageEdited(model.working(), CView003::kPageEditedFlag));
}

TEST_F(ListFixture, TabWalksOnOffThenTheNextRow) {
    open("40");
    page->editCell(3, CLevelListTable::kOnColumn);
    typeIntoEditor(cell(3, CLevelListTable::kOnColumn), Qt::Key_Tab);
    EXPECT_EQ(page->list()->currentRow(), 3);
    EXPECT_EQ(page->list()->currentColumn(), CLevelListTable::kOffColumn);
    typeIntoEditor(cell(3, CLevelListTable::kOffColumn), Qt::Key_Tab);
    EXPECT_EQ(page->list()->currentRow(), 4);
    EXPECT_EQ(page->list()->currentColumn(), CLevelListTable::kOnColumn);
    typeIntoEditor(cell(4, CLevelListTable::kOnColumn), Qt::Key_Up);
    EXPECT_EQ(page->list()->currentRow(), 3);
    // Back one cell from an ON cell is the previous row's OFF cell.
    typeIntoEditor(cell(3, CLevelListTable::kOnColumn), Qt::Key_Backtab);
    EXPECT_EQ(page->list()->currentRow(), 2);
    EXPECT_EQ(page->list()->currentColumn(), CLevelListTable::kOffColumn);
    // Unchanged numbers change nothing.
    EXPECT_FALSE(bar()->writeButton()->isEnabled());
}

TEST_F(ListFixture, WriteSendsTheEditedThresholdsAndReadsThemBack) {
    open("40,32");
    page->selectChannel(3);
    ASSERT_EQ(page->list()->rowCount(), 72);
    const int hys2 = model.working().channel(1).hys;
    const int on = 60 + hys2;
    ASSERT_TRUE(page->typeCell(40 + 2, CLevelListTable::kOnColumn, QString::number(on)));
    bar()->writeButton()->click();
    settle();
    const bool onEntries = model.working().channel(1).thCnf != 0;
    EXPECT_EQ(controllerAxisTh(1, 2), onEntries ? on : on - hys2);
    EXPECT_EQ(cell(42, CLevelListTable::kOnColumn), QString::number(on));
    EXPECT_FALSE(bar()->writeButton()->isEnabled());
    EXPECT_FALSE(pageEdited(model.working(), CView003::kPageEditedFlag));
    EXPECT_FALSE(state.commBusy());
}

// A bank keeps thresholds but no levels: its threshold list shows the controller's levels
// under the bank's channel thresholds, and a write goes into the bank only.
TEST_F(ListFixture, BankThresholdListShowsLiveLevelsUnderTheBanksChannelThresholds) {
    open("40" + logOption());
    EXPECT_FALSE(page->channelThresholdMode());
    const auto levelReads = [this] {
        std::ifstream in(log);
        int count = 0;
        for (std::string line; std::getline(in, line);) {
            count += line.rfind("88 ", 0) == 0 ? 1 : 0;
        }
        return count;
    };
    pane->selectSet(1);
    pane->select(ItemKind::BankThresholdList, 1);
    ASSERT_EQ(model.selectedSet(), 1);
    EXPECT_TRUE(page->channelThresholdMode());
    EXPECT_EQ(bar()->writeButton()->text(), writeButtonText(1));
    const ChannelRecord& bank = model.working().channel(0);
    ASSERT_EQ(page->list()->rowCount(), 40);
    for (int row = 0; row < page->list()->rowCount(); ++row) {
        ASSERT_EQ(cell(row, CLevelListTable::kOnColumn), QString::number(bank.onTh)) << row;
        ASSERT_EQ(cell(row, CLevelListTable::kOffColumn), QString::number(bank.offTh)) << row;
    }
    const auto litRows = [this] {
        int lit = 0;
        for (int row = 0; row < page->list()->rowCount(); ++row) {
            lit += cell(row, CLevelListTable::kLevelColumn).toInt() > 0 ? 1 : 0;
        }
        return lit;
    };
    // "更新" and "連続更新" read the levels from the controller.
    int reads = levelReads();
    bar()->updateButton()->click();
    EXPECT_EQ(levelReads(), reads + 1);
    EXPECT_GT(litRows(), 30);
    reads = levelReads();
    pane->log.interval = 20;
    bar()->continuousButton()->click();
    EXPECT_TRUE(waitUntil([&] { return levelReads() > reads + 1; }, 5000));
    bar()->continuousButton()->click();
    EXPECT_GT(litRows(), 30);

    // An edit changes the sensor's one pair on every row and goes into the bank alone.
    const int32_t currentOn = model.storedSet(kCurrentSet).channel(0).onTh;
    const int32_t on = bank.onTh + 4 <= 100 ? bank.onTh + 4 : 60;
    ASSERT_TRUE(page->typeCell(4, CLevelListTable::kOnColumn, QString::number(on)));
    EXPECT_EQ(cell(30, CLevelListTable::kOnColumn), QString::number(on));
    bar()->writeButton()->click();
    settle();
    EXPECT_EQ(model.working().channel(0).onTh, on);
    EXPECT_EQ(model.storedSet(1).edited, 1);
    EXPECT_EQ(cell(4, CLevelListTable::kOnColumn), QString::number(on));
    EXPECT_EQ(model.storedSet(kCurrentSet).channel(0).onTh, currentOn);
}

TEST_F(ListFixture, ContinuousUpdateLocksTheCellsUntilStopped) {
    open("40");
    pane->log.interval = 20;
    bar()->continuousButton()->click();
    EXPECT_TRUE(page->running());
    EXPECT_TRUE(state.treeMustStay());
    EXPECT_EQ(bar()->continuousButton()->text(), "停止");
    EXPECT_FALSE(bar()->updateButton()->isEnabled());
    EXPECT_EQ(page->list()->editTriggers(), QAbstractItemView::NoEditTriggers);
    settle(100);
    bar()->continuousButton()->click();
    EXPECT_FALSE(page->running());
    EXPECT_FALSE(state.treeMustStay());
    EXPECT_EQ(bar()->continuousButton()->text(), "連続更新");
    EXPECT_NE(page->list()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(ListFixture, CsvHoldsTheCellsAsShown) {
    open("40");
    const QString path = filePathOf(dir, "list.csv");
    ASSERT_TRUE(page->saveCsvTo(path));
    const textfile::TextReadResult read = textfile::readText(path.toStdString());
    ASSERT_TRUE(read.ok());
    EXPECT_NE(read.text.find("\r\n"), std::string::npos);
    const std::vector<std::string> lines = textfile::splitLines(read.text);
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_EQ(lines[0], "光軸番号,受光レベル,ONしきい値,OFFしきい値");
    EXPECT_EQ(lines[40],
              (cell(39, 0) + "," + cell(39, 1) + "," + cell(39, 2) + "," + cell(39, 3) + ",")
                  .toStdString());
    // An OFF threshold typed in goes to the file as it reads, its space included.
    const int hys = model.working().channel(0).hys;
    ASSERT_TRUE(page->typeCell(1, CLevelListTable::kOffColumn, QString::number(150 - hys)));
    ASSERT_TRUE(page->saveCsvTo(path));
    const std::vector<std::string> edited =
        textfile::splitLines(textfile::readText(path.toStdString()).text);
    ASSERT_EQ(edited.size(), 41u);
    EXPECT_EQ(edited[2],
              (cell(1, 0) + "," + cell(1, 1) + ",150," + QString::number(150 - hys) + " ,")
                  .toStdString());
    // A folder that does not exist cannot take the file: the question sound and the message.
    const int beeps = host.beeps();
    EXPECT_FALSE(page->saveCsvTo(filePathOf(dir, "missing/list.csv")));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"ファイル,オープンできません"});
    EXPECT_EQ(host.beeps(), beeps + 1);
}

// In English the list names its rows in English, while its CSV file keeps them as written,
// the same in every language, for the tools that read it.
TEST_F(ListFixture, InEnglishTheCsvKeepsTheRowLabelsAsWritten) {
    ASSERT_TRUE(i18n::useLanguage("en", i18n::catalogueFolder()));
    struct Back {
        ~Back() { i18n::useLanguage(i18n::kSourceLanguage, i18n::catalogueFolder()); }
    } back;
    open("40");
    EXPECT_EQ(cell(4, CLevelListTable::kBeamColumn), "CH1_Beam   5");
    const QString path = filePathOf(dir, "list.csv");
    ASSERT_TRUE(page->saveCsvTo(path));
    const std::vector<std::string> lines =
        textfile::splitLines(textfile::readText(path.toStdString()).text);
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_EQ(lines[5].substr(0, lines[5].find(',')), "CH1_光軸   5");
}

}  // namespace
}  // namespace qavix::test
