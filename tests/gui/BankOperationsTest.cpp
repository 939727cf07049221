// The bank operations of the running program against the built-in emulator: the editing
// guard, copy, erase, import and export, and what reaches the controller (read back from
// the emulator, never taken from the program's own copy).

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QTreeWidget>

#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "SaveDialogAnswer.h"
#include "app/CQavixApp.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#include "files/CBankExportDlg.h"
#include "files/CBankImportDlg.h"
#include "files/TextFile.h"
#include "frame/CBankCopyDlg.h"
#include "frame/CBankDialogBar.h"
#include "frame/CBankEditDlg.h"
#include "frame/CBankEraseDlg.h"
#include "frame/CLeftPaneView.h"
#include "frame/CNaviView.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CommandIds.h"

namespace qavix::test {
namespace {

class BankOperations : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        log = file("requests.log");
        setenv("QAVLINK_COM1", ("sim:--sensors 40,32 --log " + log).toUtf8().constData(), 1);
        app = std::make_unique<CQavixApp>(options());
        ASSERT_TRUE(app->start());
        frame = app->mainFrame();
        banks = &frame->bankManager();
    }
    void TearDown() override {
        if (app) {
            // Whatever a test left edited is dropped, not asked about.
            app->model().working().pageEdited.fill(false);
            for (int b = 1; b <= kBankCount; ++b) {
                app->model().storedSet(b).edited = 0;
            }
            app->shutdown();
        }
        clearPorts();
    }

    DeviceModel& model() { return app->model(); }
    // A bank image is decoded by the transaction into the model it is given, so a model of
    // the test's own reads what the controller holds without touching the program's.
    void showSet(int set) {
        frame->tree()->tree()->setCurrentItem(frame->tree()->rootItem(set));
        settle();
        ASSERT_EQ(model().selectedSet(), set);
    }
    // The controller's AXIS_TH of CH1 beam 1 in its current set, from the raw reply.
    int controllerCurrentThreshold() {
        RequestBlock r;
        r.code = 103;
        r.arg = {1, 0, 1, kRequestTimeoutMs, 0, 0};
        EXPECT_EQ(app->link()->request(r), kRequestOk);
        return std::stoi(r.reply.substr(0, 2), nullptr, 16);
    }
    int controllerBankThreshold(int bank) {
        DeviceModel fresh;
        Transactions t(*app->link(), fresh);
        EXPECT_EQ(t.rereadBank(bank), kRequestOk);
        return fresh.storedSet(bank).channel(0).axisTh[0];
    }
    QString exportSet(int source, const QString& name, const QString& title = "line") {
        const QString path = file(name);
        const SaveDialogAnswer files(path);
        EXPECT_TRUE(banks->exportTo(source, title, frame));
        EXPECT_TRUE(files.answered());
        return path;
    }

    // The bank function switch (149) and the bank reads (150..153) the controller received
    // from line `from` of its request log on.
    std::vector<int> bankRequestsSince(int from) const {
        std::vector<int> ids;
        QFile f(log);
        if (!f.open(QIODevice::ReadOnly)) {
            return ids;
        }
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (int i = from; i < lines.size(); ++i) {
            const int id = lines[i].split(' ').value(0).toInt();
            if (id >= 149 && id <= 153) {
                ids.push_back(id);
            }
        }
        return ids;
    }

    QString log;
    std::unique_ptr<CQavixApp> app;
    CMainFrame* frame = nullptr;
    CBankManager* banks = nullptr;
};

TEST_F(BankOperations, UnappliedPageEditsBlockEveryBankOperation) {
    showSet(1);
    model().working().pageEdited[3] = true;
    const std::string message = "Bank1が編集中です。\n「適用」又は「取消し」を行ってください。";
    const auto before = model().storedSet(2);
    const QString bankFile = file("any.qbk");
    ASSERT_TRUE(bankfile::writeBankFile(bankFile.toStdString(), model().storedSet(0), "2.10", "t",
                                        std::tm{})
                    .ok);

    std::vector<std::function<void()>> operations = {
        [&] { banks->discardEdits(); },
        [&] { banks->writeBank(); },
        [&] { EXPECT_EQ(banks->copy(0, 2), CBankManager::CopyOutcome::Stay); },
        [&] { EXPECT_FALSE(banks->exportTo(1, "t", frame)); },
        [&] {
            CBankImportDlg dlg(*banks, frame);
            dlg.listFolderOf(bankFile);
            dlg.target(2)->setChecked(true);
            dlg.execute();
            EXPECT_EQ(dlg.result(), QDialog::Rejected);
        },
        [&] { EXPECT_EQ(banks->switchToBank(2), 0); },
    };
    for (size_t i = 0; i < operations.size(); ++i) {
        SCOPED_TRACE(i);
        ModalAnswerer ok(true);
        operations[i]();
        settle();
        ASSERT_FALSE(ok.texts().empty());
        EXPECT_EQ(ok.texts().back(), message);
        EXPECT_EQ(model().selectedSet(), 1);
        EXPECT_EQ(model().storedSet(2).edited, before.edited);
        EXPECT_EQ(model().storedSet(2).channel(0).axisTh[0], before.channel(0).axisTh[0]);
    }
    EXPECT_EQ(controllerBankThreshold(2), 45);
    EXPECT_FALSE(QFileInfo::exists(file("t.qbk")));
}

TEST_F(BankOperations, ACopyIntoABankStaysInTheProgramUntilDiscardedOrWritten) {
    ModalAnswerer ok(true);
    ASSERT_EQ(banks->copy(kCurrentSet, 3), CBankManager::CopyOutcome::Done);
    EXPECT_EQ(model().selectedSet(), 3);
    EXPECT_EQ(model().working().channel(0).axisTh[0], 50);  // the current values
    EXPECT_EQ(model().storedSet(3).edited, 1);
    EXPECT_EQ(model().storedSet(3).writeAll, 1);
    EXPECT_EQ(controllerBankThreshold(3), 60);  // nothing went to the controller

    // Leaving Bank 3 asks; "破棄する" (preselected) reads the banks from the controller.
    ok.setAccept(true);
    showSet(kCurrentSet);
    EXPECT_NE(std::find(ok.texts().begin(), ok.texts().end(), "CBankEditDlg"), ok.texts().end());
    EXPECT_EQ(model().storedSet(3).edited, 0);
    EXPECT_EQ(model().storedSet(3).channel(0).axisTh[0], 60);
    EXPECT_EQ(model().storedSet(3).compatible, 1);
}

TEST_F(BankOperations, ACopyOntoTheCurrentValuesIsWrittenAtOnceAndAWrittenBankKeepsIt) {
    showSet(2);
    ModalAnswerer ok(true);
    ASSERT_EQ(banks->copy(2, kCurrentSet), CBankManager::CopyOutcome::Done);
    EXPECT_EQ(model().selectedSet(), kCurrentSet);
    EXPECT_EQ(controllerCurrentThreshold(), 45);

    // Bank 2 onto Bank 4, then "Bank書込み": the whole bank reaches the controller.
    ASSERT_EQ(banks->copy(2, 4), CBankManager::CopyOutcome::Done);
    ASSERT_EQ(model().selectedSet(), 4);
    EXPECT_EQ(controllerBankThreshold(4), 50);
    frame->updateCommandStates();
    frame->action(kCmdBankWrite)->trigger();
    EXPECT_EQ(ok.texts().back(), CBankManager::kWriteQuestion);
    EXPECT_EQ(controllerBankThreshold(4), 45);
    EXPECT_EQ(model().storedSet(4).edited, 0);
    EXPECT_EQ(model().storedSet(4).writeAll, 0);
}

TEST_F(BankOperations, TheBankBarDiscardsOnlyAfterItsQuestionAndOnlyForABank) {
    frame->updateCommandStates();
    CBankDialogBar* bar = frame->bankBar();
    EXPECT_FALSE(bar->button(CBankDialogBar::Discard)->isEnabled());  // current values
    EXPECT_FALSE(bar->button(CBankDialogBar::Write)->isEnabled());
    EXPECT_TRUE(bar->button(CBankDialogBar::Copy)->isEnabled());

    showSet(2);
    model().working().channel(0).axisTh[0] = 99;  // applied on a page
    model().storedSet(2).edited = 1;
    frame->updateCommandStates();
    ASSERT_TRUE(bar->button(CBankDialogBar::Discard)->isEnabled());
    {
        ModalAnswerer cancel(false);
        bar->button(CBankDialogBar::Discard)->click();
        ASSERT_EQ(cancel.texts().size(), 1u);
        EXPECT_EQ(cancel.texts()[0], CBankManager::kDiscardQuestion);
    }
    EXPECT_EQ(model().working().channel(0).axisTh[0], 99);
    ModalAnswerer ok(true);
    bar->button(CBankDialogBar::Discard)->click();
    EXPECT_EQ(model().working().channel(0).axisTh[0], 45);  // read again from the controller
    EXPECT_EQ(model().storedSet(2).edited, 0);
    EXPECT_EQ(model().selectedSet(), 2);
}

TEST_F(BankOperations, AfterADiscardTheBanksOwnBoardIsShownAndItsLabelsLeadToItsPages) {
    showSet(2);
    frame->tree()->tree()->setCurrentItem(frame->tree()->findItem(nav::ItemKind::Pio, 2));
    settle();
    ASSERT_EQ(app->state().currentPage, nav::kPagePio);
    model().working().channel(0).axisTh[0] = 99;  // applied on a page
    model().storedSet(2).edited = 1;
    frame->updateCommandStates();
    {
        ModalAnswerer ok(true);
        frame->action(kCmdBankDiscard)->trigger();
        settle();
        ASSERT_FALSE(ok.texts().empty());
        EXPECT_EQ(ok.texts().back(), CBankManager::kDiscardQuestion);
    }
    ASSERT_EQ(model().selectedSet(), 2);
    EXPECT_EQ(frame->tree()->tree()->currentItem(), frame->tree()->rootItem(2));
    ASSERT_TRUE(frame->rightPane()->showsNaviView());
    CNaviView* navi = frame->rightPane()->naviView();
    EXPECT_EQ(navi->groupHeaders(), QStringList{"Ｂａｎｋ２"});

    // "動作設定" of the bank's CH1 opens the bank's page for CH1.
    int label = 0;
    for (const nav::BoardSection& section : nav::boardGroups()[nav::kBoardBank1 + 1].sections) {
        for (const nav::BoardLabel& l : section.labels) {
            if (l.item == nav::ItemKind::SensorOperation && l.channel == 1) {
                label = l.id;
            }
        }
    }
    ASSERT_NE(label, 0);
    navi->activateLabel(label);
    settle();
    EXPECT_EQ(frame->tree()->tree()->currentItem(),
              frame->tree()->findItem(nav::ItemKind::SensorOperation, 2, 1));
    EXPECT_EQ(app->state().currentPage, nav::kPageSensorOperation);
}

TEST_F(BankOperations, TheCopyDialogListsFollowTheSourceAndNeverOfferTheShownBank) {
    showSet(2);
    CBankCopyDlg dlg(*banks, frame);
    auto labels = [](QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            out << list->item(i)->text();
        }
        return out;
    };
    EXPECT_EQ(labels(dlg.sources()),
              (QStringList{"現在値", "Bank 1", "Bank 2", "Bank 3", "Bank 4"}));
    EXPECT_EQ(labels(dlg.destinations()), (QStringList{"Bank 1", "Bank 3", "Bank 4"}));
    dlg.sources()->setCurrentRow(3);  // Bank 3
    EXPECT_EQ(labels(dlg.destinations()), (QStringList{"現在値", "Bank 1", "Bank 4"}));
}

// The erase dialog never offers the shown bank. Every selection of a stored set ends with the
// read of the bank function switch, also the ones an erase and a discarded bank edit make.
TEST_F(BankOperations, EraseAndDiscardSelectTheirSetsAsEverySelectionDoes) {
    showSet(2);
    int from = lineCount(log);
    CBankEraseDlg dlg(*banks, frame);
    EXPECT_FALSE(dlg.bankBox(2)->isEnabled());
    EXPECT_TRUE(dlg.bankBox(1)->isEnabled());
    dlg.bankBox(1)->setChecked(true);
    dlg.bankBox(4)->setChecked(true);
    dlg.execute();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    // The flags come from the summaries the controller gives after the erase.
    EXPECT_EQ(model().storedSet(1).compatible, 0);
    EXPECT_EQ(model().storedSet(4).compatible, 0);
    EXPECT_EQ(model().storedSet(3).compatible, 1);
    EXPECT_EQ(frame->tree()->rootItem(1)->data(0, CLeftPaneView::kRoleImage).toInt(),
              nav::kImageBankEmpty);
    EXPECT_FALSE(app->state().commBusy());
    EXPECT_TRUE(frame->commandsAllowed());
    // Before it, the change journal reads what the erase is about to remove (the banks'
    // settings, requests 150 and 153), so that the record names the values it removed.
    const std::vector<int> requests = bankRequestsSince(from);
    const std::vector<int> erase{149, 150, 150, 150, 150, 149, 153, 153, 153, 153, 149};
    ASSERT_GE(requests.size(), erase.size());
    const auto eraseStart = requests.end() - static_cast<std::ptrdiff_t>(erase.size());
    EXPECT_EQ(std::vector<int>(eraseStart, requests.end()), erase);
    EXPECT_TRUE(
        std::all_of(requests.begin(), eraseStart, [](int r) { return r == 150 || r == 153; }));
    EXPECT_EQ(model().selectedSet(), 2);

    // Bank 2 with an applied edit, left for the current values: "破棄する".
    model().working().channel(0).axisTh[0] = 99;
    model().storedSet(2).edited = 1;
    from = lineCount(log);
    {
        ModalAnswerer discard(true);
        showSet(kCurrentSet);
        ASSERT_FALSE(discard.texts().empty());
        EXPECT_EQ(discard.texts().front(), "CBankEditDlg");
    }
    EXPECT_EQ(bankRequestsSince(from), (std::vector<int>{149, 149}));
    EXPECT_EQ(model().storedSet(2).edited, 0);
    EXPECT_EQ(model().storedSet(2).channel(0).axisTh[0], 45);
}

TEST_F(BankOperations, ExportReadsANeverReadBankAndImportChecksBeforeReplacing) {
    ASSERT_EQ(model().storedSet(3).loaded, 0);
    const QString bank3 = exportSet(3, "bank3.qbk", "ライン3");
    EXPECT_EQ(model().storedSet(3).loaded, 1);
    SettingsData fromFile;
    ASSERT_TRUE(bankfile::importFile(bank3.toStdString(), fromFile).ok());
    EXPECT_EQ(fromFile.channel(0).axisTh[0], 60);
    EXPECT_EQ(bankfile::readTitleAndDate(bank3.toStdString()).title, "ライン3");

    // Another sensor type on CH1 passes the file's own checks but not the controller's.
    std::string text = textfile::readText(bank3.toStdString()).text;
    const size_t at = text.find("TYPE_3=01");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 9, "TYPE_3=02");
    const QString foreign = file("foreign.QBK");
    ASSERT_TRUE(textfile::writeText(foreign.toStdString(), text).ok);
    {
        CBankImportDlg dlg(*banks, frame);
        dlg.listFolderOf(foreign);
        ASSERT_EQ(dlg.fileList()->topLevelItemCount(), 2);  // both spellings of .qbk
        ASSERT_NE(dlg.fileList()->currentItem(), nullptr);
        EXPECT_EQ(dlg.fileList()->currentItem()->text(2), foreign);
        dlg.target(4)->setChecked(true);
        ModalAnswerer ok(true);
        dlg.execute();
        settle();
        EXPECT_EQ(ok.texts().back(), "Bankデータが無効です。インポートを中止します。");
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(model().storedSet(4).edited, 0);
    }
    // The exported Bank 3 into the current values goes to the controller.
    CBankImportDlg dlg(*banks, frame);
    dlg.listFolderOf(bank3);
    EXPECT_EQ(dlg.fileList()->currentItem()->text(0), "ライン3");
    ModalAnswerer ok(true);
    dlg.execute();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ok.texts().front(), CBankImportDlg::kOverwriteQuestion);
    EXPECT_EQ(controllerCurrentThreshold(), 60);
    EXPECT_FALSE(app->state().dataReplaced);
}

TEST_F(BankOperations, ImportTargetsAndTheFileList) {
    showSet(2);
    CBankImportDlg dlg(*banks, frame);
    EXPECT_FALSE(dlg.target(2)->isEnabled());
    EXPECT_TRUE(dlg.target(0)->isChecked());

    const TempDir empty;
    ModalAnswerer ok(true);
    dlg.listFolderOf(QDir(pathOf(empty)).filePath("nothing.qbk"));
    settle();
    ASSERT_EQ(ok.texts().size(), 1u);
    EXPECT_EQ(ok.texts()[0], CBankImportDlg::kNoBankFiles);
    EXPECT_EQ(dlg.fileList()->topLevelItemCount(), 0);
    dlg.execute();  // no row: the file is asked for, nothing replaced
    EXPECT_EQ(ok.texts().back(), CBankImportDlg::kNoFileMessage);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(BankOperations, ClosingWithAnEditedBankOffersThreeChoicesAndCancelKeepsTheProgram) {
    showSet(1);
    model().storedSet(1).edited = 1;
    bool saveOffered = false;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<CBankEditDlg*>(QApplication::activeModalWidget())) {
            saveOffered = d->option(CBankEditDlg::SaveToFile)->isEnabled();
            d->reject();
        }
    });
    probe.start();
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(saveOffered);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(model().storedSet(1).edited, 1);

    // A switch offers no save to a file.
    saveOffered = true;
    EXPECT_EQ(banks->switchToBank(2), 0);
    EXPECT_FALSE(saveOffered);
}

TEST_F(BankOperations, SavingABanksEditsToAFileClearsThemAndACancelledSaveKeepsThem) {
    showSet(1);
    model().working().channel(0).axisTh[0] = 77;
    model().storedSet(1).edited = 1;
    const QString path = file("edits.qbk");
    QTimer chooser;
    chooser.setInterval(10);
    bool cancelExport = true;
    bool pending = false;
    // Each answer runs from a timer of its own: the dialogs it opens must still be answered.
    auto later = [&pending](std::function<void()> f) {
        pending = true;
        QTimer::singleShot(0, [&pending, f] {
            pending = false;
            f();
        });
    };
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (pending || w == nullptr) {
            return;
        }
        if (auto* edit = qobject_cast<CBankEditDlg*>(w)) {
            later([edit] {
                edit->option(CBankEditDlg::SaveToFile)->setChecked(true);
                edit->accept();
            });
        } else if (auto* exporter = qobject_cast<CBankExportDlg*>(w)) {
            EXPECT_FALSE(exporter->source(0)->isEnabled());
            EXPECT_TRUE(exporter->source(1)->isChecked());
            const bool cancel = cancelExport;
            cancelExport = false;
            // Cancelled once: the editing dialog comes back for another choice.
            later([exporter, cancel] { cancel ? exporter->reject() : exporter->execute(); });
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            chooseFile(files, path);
        }
    });
    chooser.start();
    ASSERT_TRUE(banks->editingGuard(1, CBankManager::kReasonClosing));
    chooser.stop();
    EXPECT_EQ(model().storedSet(1).edited, 0);
    SettingsData saved;
    ASSERT_TRUE(bankfile::importFile(path.toStdString(), saved).ok());
    EXPECT_EQ(saved.channel(0).axisTh[0], 77);
}

}  // namespace
}  // namespace qavix::test
