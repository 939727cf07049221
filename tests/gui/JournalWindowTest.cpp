// The 変更履歴 window over a journal written here: only the connected controller's writes,
// newest first, a write that never finished called so, the filters, the selected write's
// fields and the CSV it saves.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QTableWidget>
#include <fstream>
#include <sstream>

#include "TempDir.h"
#include "frame/JournalWindow.h"
#include "journal/Journal.h"

namespace qavix::test {
namespace {

using journal::Record;

Record record(const std::string& id, const std::string& time, const std::string& user,
              const std::string& serial) {
    Record r;
    r.operationId = id;
    r.time = time;
    r.user = user;
    r.host = "line3-pc";
    r.program = "qavix";
    r.version = "1.0.0";
    r.port = "COM1";
    r.controller.id = "000101";
    r.controller.serial = serial;
    r.target = journal::targetName(0);
    r.operation = journal::Operation::PageWrite;
    r.detail = "センサ動作設定";
    r.changes = {{"CH1.ON_TH", "35", "45", "", 1}};
    return r;
}

struct JournalWindowFixture : ::testing::Test {
    void write(Record r, std::optional<journal::Result> end) {
        ASSERT_TRUE(j.append(r).ok);
        if (end) {
            r.kind = journal::RecordKind::End;
            r.time.clear();
            r.result = *end;
            ASSERT_TRUE(j.append(r).ok);
        }
    }
    QString cell(const JournalWindow& w, int row, int column) const {
        const QTableWidgetItem* item = w.writes()->item(row, column);
        return item != nullptr ? item->text() : QString();
    }

    TempDir temp;
    std::string folder = temp.file("journal");
    journal::Journal j{folder};
};

TEST_F(JournalWindowFixture, ListsTheControllersWritesNewestFirstWithTheSelectedOnesFields) {
    write(record("a", "2026-11-30T09:00:00+09:00", "taro", "0300920"), journal::Result::Ok);
    write(record("b", "2026-12-01T09:00:00+09:00", "hanako", "0999999"), journal::Result::Ok);
    Record failed = record("c", "2026-12-02T12:00:00Z", "hanako", "0300920");
    failed.changes.push_back({"CH1.OFF_TH", "25", "35", "", 1});
    write(failed, journal::Result::Failed);
    write(record("d", "2026-12-03T09:00:00+09:00", "taro", "0300920"), std::nullopt);

    JournalWindow w(folder, {"", "0300920", "", std::nullopt});
    ASSERT_EQ(w.writes()->rowCount(), 3);
    EXPECT_EQ(cell(w, 0, JournalWindow::kTime), "2026-12-03T09:00:00+09:00");
    EXPECT_EQ(cell(w, 0, JournalWindow::kResult), "未完了");
    EXPECT_EQ(cell(w, 1, JournalWindow::kResult), "途中で失敗");
    EXPECT_EQ(cell(w, 2, JournalWindow::kResult), "完了");
    EXPECT_EQ(cell(w, 2, JournalWindow::kOperation), "ページ書込み (センサ動作設定)");
    EXPECT_EQ(cell(w, 2, JournalWindow::kTarget), "現在値");

    w.writes()->selectRow(1);
    ASSERT_EQ(w.fields()->rowCount(), 2);
    EXPECT_EQ(w.fields()->item(1, 0)->text(), "CH1.OFF_TH");
    EXPECT_EQ(w.fields()->item(1, 1)->text(), "25");
    EXPECT_EQ(w.fields()->item(1, 2)->text(), "35");

    // Users offered are the controller's writers; picking one keeps their writes only.
    ASSERT_EQ(w.userFilter()->count(), 3);
    w.userFilter()->setCurrentIndex(w.userFilter()->findText("hanako"));
    ASSERT_EQ(w.writes()->rowCount(), 1);
    EXPECT_EQ(cell(w, 0, JournalWindow::kUser), "hanako");
    w.userFilter()->setCurrentIndex(0);

    w.since()->setDate(QDate(2026, 12, 2));
    w.sinceOn()->setChecked(true);
    EXPECT_EQ(w.writes()->rowCount(), 2);
}

TEST_F(JournalWindowFixture, SavesTheListedWritesAsCsvOneRowPerField) {
    Record r = record("a", "2026-12-01T09:00:00+09:00", "taro", "0300920");
    r.reason = "誤検出, 調整";
    r.changes.push_back({"CH1.OFF_TH", "25", "35", "", 1});
    write(r, journal::Result::Ok);
    JournalWindow w(folder, {"", "0300920", "", std::nullopt});

    const std::string path = temp.file("history.csv");
    ASSERT_EQ(w.saveCsv(QString::fromStdString(path)), QString());
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string csv = bytes.str();
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF日時,", 0), 0u) << csv;
    EXPECT_NE(csv.find(",\"誤検出, 調整\","), std::string::npos) << csv;
    EXPECT_NE(csv.find(",CH1.ON_TH,35,45\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",CH1.OFF_TH,25,35\r\n"), std::string::npos) << csv;

    // A folder that is no folder: named, and nothing is left behind.
    EXPECT_FALSE(w.saveCsv(QString::fromStdString(temp.file("none/history.csv"))).isEmpty());
}

}  // namespace
}  // namespace qavix::test
