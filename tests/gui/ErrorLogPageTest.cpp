// The error log page against the built-in emulator: the history read under the wait
// window every time the page is shown, the decoded rows, a read that fails half-way, and
// the CSV file, which must be the command-line client's byte for byte.

#include <gtest/gtest.h>

#include <QFile>

#include "CtlProcess.h"
#include "PageTestSupport.h"
#include "SaveDialogAnswer.h"
#include "TempFolder.h"
#include "frame/PageTable.h"
#include "monitor/CListDlg.h"
#include "monitor/CView006.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

// Entry 1: a setting error, entry 2: a code without a text, both on Thursday 5 December
// 2002 at 13:04:59, with the serial text of the examples.
constexpr const char* kScenario =
    "[errors]\n"
    "1 = 021205130459 00 C8 020B04D2\n"
    "2 = 021205130459 00 3B 020B04D2\n";

struct ErrorLogFixture : EmulatorPageFixture {
    void open(const std::string& extra = std::string()) {
        scenario = filePathOf(dir, "errors.ini");
        QFile f(scenario);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kScenario);
        f.close();
        simOptions = "--scenario " + scenario.toStdString() + extra;
        connect(simOptions);
        page = pane->page<CView006>(nav::kViewPage006);
        bar = pane->page<CListDlg>(nav::kViewListDlg);
    }
    QString cell(int row, int column) const { return page->table()->item(row, column)->text(); }

    QString scenario;
    std::string simOptions;
    CView006* page = nullptr;
    CListDlg* bar = nullptr;
};

TEST_F(ErrorLogFixture, ShowingThePageReadsAndDecodesTheHistory) {
    open();
    // Before the first read every row is numbered and empty.
    EXPECT_EQ(cell(19, 0), "20");
    EXPECT_EQ(cell(0, 3), "---");

    pane->select(ItemKind::ErrorLog);
    EXPECT_EQ(pane->right->splitterView()->currentCommandBar(), bar);
    EXPECT_TRUE(bar->saveButton()->isVisible());
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_EQ(pane->log.busyAtWait, std::vector<bool>{true});
    EXPECT_FALSE(state.commBusy());
    EXPECT_TRUE(host.messages().empty());

    EXPECT_EQ(cell(0, 0), "1");
    EXPECT_TRUE(cell(0, 1).startsWith("02/12/05 ")) << cell(0, 1).toStdString();
    EXPECT_TRUE(cell(0, 1).endsWith(" 13:04:59"));
    EXPECT_EQ(cell(0, 2), "C8");
    EXPECT_EQ(cell(0, 3), "設定エラー");
    EXPECT_EQ(cell(0, 4), "1234Y02");
    EXPECT_EQ(cell(1, 2), "3B");
    EXPECT_EQ(cell(1, 3), "---");
    EXPECT_EQ(cell(1, 4), "04D2Y02");  // a sensor error keeps the last four characters
    EXPECT_EQ(cell(3, 1), "---");      // after the factory log's third entry
    EXPECT_EQ(page->table()->horizontalHeaderItem(3)->text(), "エラ－内容");

    // Every showing reads again.
    pane->select(ItemKind::Clock);
    pane->select(ItemKind::ErrorLog);
    EXPECT_EQ(pane->log.waits.size(), 4u);
}

TEST_F(ErrorLogFixture, CsvIsTheCommandLineClientsByteForByte) {
    open();
    pane->select(ItemKind::ErrorLog);
    // Through the bar's "保存" and its dialog, as the user saves.
    SaveDialogAnswer answer(filePathOf(dir, "page.csv"));
    bar->saveButton()->click();
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(answer.seen().title, "名前を付けて保存");
    EXPECT_EQ(answer.seen().name, "Error.csv");
    EXPECT_EQ(answer.seen().suffix, "csv");
    EXPECT_EQ(answer.seen().shownFilters,
              (QStringList{"Csv ファイル形式 (.csv)", "All Supported Files (.csv;.text)",
                           "All Files (*.*)"}));
    const QString mine = filePathOf(dir, "page.csv");

    const QString theirs = filePathOf(dir, "ctl.csv");
    const CtlRun ctl =
        runCtl(CtlEnv{pathOf(dir).toStdString(), {{"QAVLINK_COM1", "sim:" + simOptions}}},
               {"errors", "--csv", theirs.toStdString(), "--port", "COM1"});
    ASSERT_EQ(ctl.exitCode, 0) << ctl.err;

    const QByteArray bytes = fileBytes(mine);
    EXPECT_EQ(bytes, fileBytes(theirs));
    // Shift-JIS with CR LF: "設定エラー" and twenty-one lines.
    EXPECT_TRUE(bytes.contains("\x90\xdd\x92\xe8\x83\x47\x83\x89\x81\x5b"));
    EXPECT_EQ(bytes.count("\r\n"), 21);
}

TEST_F(ErrorLogFixture, ReadThatFailsHalfWayKeepsWhatItRead) {
    // The controller falls silent after the connection's first requests and two entries.
    open(" --hang-after 6 --instant-timeout on");
    pane->select(ItemKind::ErrorLog);
    const auto messages = host.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), kErrorLogReadFailed);
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_FALSE(state.commBusy());
    EXPECT_EQ(cell(0, 2), "C8");
    EXPECT_EQ(cell(1, 2), "3B");
    EXPECT_EQ(cell(2, 2), "---");  // not read: as before
}

TEST_F(ErrorLogFixture, UnwritableCsvSaysSo) {
    open();
    const QString path = filePathOf(dir, "missing/Error.csv");
    EXPECT_FALSE(page->saveCsvTo(path));
    EXPECT_EQ(host.messages(), std::vector<std::string>{"ファイル,オープンできません"});
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace qavix::test
