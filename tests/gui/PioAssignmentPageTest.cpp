// The P-I/O assignment page against the built-in emulator: the list read from the
// controller, the choices it offers, the in-place editor driven by keyboard alone, what a
// write sends, and a write that fails half-way.

#include <gtest/gtest.h>

#include <QComboBox>
#include <fstream>

#include "MeasurementPageSupport.h"
#include "pages/CView008.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

// Overall judgement, groups and parallel outputs switched on, on top of the factory
// assignments (D00..D05 overall outputs, D06..D09 groups, D10 and D11 parallel output 2).
const char* const kAllOn = "127 = 02\n143 = 02\n133 = 01\n";

struct PioPageFixture : MeasurementPageFixture {
    void show(const std::string& scenario, const std::string& options = "--sensors 40,32") {
        start(scenario, options);
        page = pane->page<CView008>(nav::kViewPage008);
        pane->select(ItemKind::Pio);
    }
    QString cell(int row, int column) const { return page->list()->item(row, column)->text(); }
    QStringList rowTexts(int row) const {
        QStringList t;
        for (int c = 1; c < CView008::kColumnCount; ++c) {
            t << cell(row, c);
        }
        return t;
    }
    QComboBox* editor() const { return qobject_cast<QComboBox*>(QApplication::focusWidget()); }
    void key(Qt::Key k) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, k);
        QApplication::processEvents();
    }
    // The puts the emulator has logged since the log was last read: their codes.
    std::vector<int> putsLogged() {
        std::ifstream in(log);
        std::vector<int> codes;
        std::string line;
        for (int n = 0; std::getline(in, line); ++n) {
            const int id = std::atoi(line.c_str());
            if (n >= logRead && id >= 1 && id <= 45) {
                codes.push_back(id);
            }
            logRead = std::max(logRead, n + 1);
        }
        return codes;
    }

    CView008* page = nullptr;
    int logRead = 0;
};

TEST_F(PioPageFixture, FirstShowingReadsTheTerminals) {
    show(kAllOn);
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_EQ(cell(5, CView008::kPortColumn), "D05");
    EXPECT_EQ(rowTexts(0), (QStringList{"総合ON/OFF出力", "遮光", "CH1", "無効"}));
    EXPECT_EQ(rowTexts(3), (QStringList{"総合ON/OFF出力", "入光", "CH2", "無効"}));
    EXPECT_EQ(rowTexts(7), (QStringList{"グループ", "遮光", "Gr.2", "無効"}));
    EXPECT_EQ(rowTexts(8), (QStringList{"グループ", "遮光", "Gr.3", "有効"}));
    EXPECT_EQ(rowTexts(11), (QStringList{"パラレル出力 2", "-", "1bit", "無効"}));
    EXPECT_EQ(rowTexts(14), (QStringList{"未設定", "-", "-", "無効"}));
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(state.commBusy());

    // What each cell offers follows the switches and the sensors.
    EXPECT_EQ(page->choices(0, CView008::kFunctionColumn).size(), 5);
    EXPECT_EQ(page->choices(0, CView008::kNumberColumn), (QStringList{"CH1", "CH2"}));
    EXPECT_EQ(page->choices(7, CView008::kNumberColumn).size(), 16);
    EXPECT_TRUE(page->choices(11, CView008::kJudgementColumn).isEmpty());
    EXPECT_TRUE(page->choices(14, CView008::kNumberColumn).isEmpty());
    EXPECT_TRUE(page->choices(0, CView008::kPortColumn).isEmpty());
}

TEST_F(PioPageFixture, WithoutGroupJudgementNoTerminalOffersTheGroup) {
    show("127 = 02\n143 = 00\n133 = 00\n");
    EXPECT_EQ(page->choices(0, CView008::kFunctionColumn),
              (QStringList{"未設定", "総合ON/OFF出力"}));
    // A terminal the controller already routes to a group still shows it.
    EXPECT_EQ(cell(6, CView008::kFunctionColumn), "グループ");
}

TEST_F(PioPageFixture, KeyboardAloneOpensMovesChoosesAndCancels) {
    show(kAllOn);
    QTableWidget* list = page->list();
    list->setFocus();
    list->setCurrentCell(0, 0);
    for (int i = 0; i < 14; ++i) {
        key(Qt::Key_Down);
    }
    key(Qt::Key_Right);
    ASSERT_EQ(list->currentRow(), 14);
    ASSERT_EQ(list->currentColumn(), CView008::kFunctionColumn);

    // Enter opens the drop-down over the cell; Down picks the next text; Escape leaves the
    // cell as it was.
    key(Qt::Key_Return);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->currentText(), "未設定");
    EXPECT_EQ(editor()->accessibleName(), "出力");
    key(Qt::Key_Down);
    EXPECT_EQ(editor()->currentText(), "総合ON/OFF出力");
    key(Qt::Key_Escape);
    EXPECT_EQ(page->cellEditor()->openEditor(), nullptr);
    EXPECT_EQ(cell(14, CView008::kFunctionColumn), "未設定");
    EXPECT_FALSE(writeOn());

    // F2 opens it too; Down twice and Enter choose the group, which brings its own defaults.
    key(Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(rowTexts(14), (QStringList{"グループ", "遮光", "Gr.1", "無効"}));
    EXPECT_EQ(list->item(14, 1)->background().color(), kChangedFieldColour);
    EXPECT_TRUE(writeOn());

    // Right moves the open editor along the row, committing on the way.
    key(Qt::Key_Return);
    key(Qt::Key_Right);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(list->currentColumn(), CView008::kJudgementColumn);
    key(Qt::Key_Down);
    key(Qt::Key_Tab);  // commits 入光 and opens the number
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(list->currentColumn(), CView008::kNumberColumn);
    key(Qt::Key_End);
    key(Qt::Key_Return);
    EXPECT_EQ(rowTexts(14), (QStringList{"グループ", "入光", "Gr.16", "無効"}));

    // Choosing the function it already has keeps the row.
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    ASSERT_EQ(list->currentColumn(), CView008::kFunctionColumn);
    key(Qt::Key_Return);
    ASSERT_NE(editor(), nullptr);
    key(Qt::Key_Return);
    EXPECT_EQ(rowTexts(14), (QStringList{"グループ", "入光", "Gr.16", "無効"}));

    // Leaving the open drop-down keeps what it shows.
    list->setCurrentCell(14, CView008::kInversionColumn);
    key(Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    key(Qt::Key_Down);
    list->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(page->cellEditor()->openEditor(), nullptr);
    EXPECT_EQ(cell(14, CView008::kInversionColumn), "有効");
}

TEST_F(PioPageFixture, ClickOpensTheListDroppedDown) {
    show(kAllOn);
    QTableWidget* list = page->list();
    const QRect r = list->visualItemRect(list->item(2, CView008::kInversionColumn));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QApplication::processEvents();
    QComboBox* box = page->cellEditor()->openEditor();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->view()->isVisible());
    EXPECT_EQ(box->geometry(), r);
    // A pick from the list commits at once.
    box->view()->setCurrentIndex(box->model()->index(1, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(page->cellEditor()->openEditor(), nullptr);
    EXPECT_EQ(cell(2, CView008::kInversionColumn), "有効");
}

TEST_F(PioPageFixture, WriteSendsOnlyWhatChangedAndTheControllerKeepsIt) {
    std::string options = "--sensors 40,32";
    show(kAllOn, options + logOption());
    putsLogged();
    // Only an inversion: the assignments are not sent.
    emit page->cellEditor()->chosen(0, CView008::kInversionColumn, 1, "有効");
    clickWrite();
    EXPECT_EQ(putsLogged(), std::vector<int>{4});
    EXPECT_FALSE(writeOn());

    // D05 to group, incident, Gr.16.
    emit page->cellEditor()->chosen(5, CView008::kFunctionColumn, 2, "グループ");
    emit page->cellEditor()->chosen(5, CView008::kJudgementColumn, 1, "入光");
    emit page->cellEditor()->chosen(5, CView008::kNumberColumn, 15, "Gr.16");
    EXPECT_EQ(rowTexts(5), (QStringList{"グループ", "入光", "Gr.16", "無効"}));
    clickWrite();
    EXPECT_EQ(putsLogged(), std::vector<int>{3});
    EXPECT_TRUE(host.messages().empty());
    EXPECT_FALSE(model.working().anyPageEdited());

    const GeneralBlock held = controllerHolds(pioReads());
    EXPECT_EQ(held.pio[5], "804F");
    EXPECT_EQ(held.pio[4], "8014");
    EXPECT_EQ(held.pioInv[0], 1);
    EXPECT_EQ(held.pioInv[1], 0);

    // Cancel goes back to what was written last.
    emit page->cellEditor()->chosen(5, CView008::kFunctionColumn, 0, "未設定");
    ASSERT_TRUE(cancelOn());
    clickCancel();
    EXPECT_EQ(rowTexts(5), (QStringList{"グループ", "入光", "Gr.16", "無効"}));
    EXPECT_FALSE(cancelOn());
}

TEST_F(PioPageFixture, AFailedWriteKeepsTheEditsToSendAgain) {
    // How many requests come before the write, so the line can be cut inside it.
    int before = 0;
    {
        show(kAllOn, "--sensors 40,32" + logOption());
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            ++before;
        }
        TearDown();
    }
    ASSERT_GT(before, 50);
    // Start setting is answered, the assignments are not.
    show(kAllOn, "--sensors 40,32 --instant-timeout on --hang-after " + std::to_string(before + 2));
    emit page->cellEditor()->chosen(5, CView008::kNumberColumn, 1, "CH2");
    ASSERT_TRUE(writeOn());
    clickWrite();
    EXPECT_EQ(pane->log.waits.back(), "close");
    EXPECT_FALSE(state.commBusy());
    EXPECT_EQ(rowTexts(5), (QStringList{"総合ON/OFF出力", "入光", "CH2", "無効"}));
    EXPECT_EQ(page->list()->item(5, CView008::kNumberColumn)->background().color(),
              kChangedFieldColour);
    EXPECT_TRUE(model.working().pageEdited[kEditedPio - 1]);
    // The working set still holds what the controller had, so the next write sends it again.
    EXPECT_EQ(model.working().general.pio[5], "8015");
    EXPECT_TRUE(cancelOn());
}

}  // namespace
}  // namespace qavix::test
