// `qavix --edit FILE`: the program on the emulator loaded with the file, the title, saving
// back with the title kept, the question when leaving, and the refusal of a bad file.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QTest>
#include <map>

#include "AppRunSupport.h"
#include "CtlProcess.h"
#include "GuiTestSupport.h"
#include "PageTestSupport.h"
#include "app/CQavixApp.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#include "files/FileIo.h"
#include "files/TextFile.h"
#include "frame/CInfoDialogBar.h"
#include "frame/CLeftPaneView.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CSplitterView.h"
#include "frame/CommandIds.h"
#include "model/PageRequests.h"
#include "pages/CView001.h"
#include "pages/CView016.h"
#include "widgets/CColorStatusBar.h"

namespace qavix::test {
namespace {

class OfflineEdit : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        // Qavix.ini names COM3 and unit 2: the file's emulator takes their place.
        ASSERT_TRUE(writeIni(QByteArray(kNoSplash) +
                             "[Qavix_Section]\r\nActivePort=2\r\nActiveMachine=2\r\n"));
        file = AppFixture::file("line 7.qbk");
        writeFileFromEmulator("sim:--sensors 24,128");
    }

    // A bank file of the current values of an emulator unlike the default one.
    void writeFileFromEmulator(const std::string& simOptions) {
        DeviceModel model;
        RecordingHost host;
        auto link = emulatorLink(host, model, simOptions.substr(4));
        Transactions t(*link, model);
        ASSERT_EQ(t.readAll(), kRequestOk);
        ASSERT_TRUE(bankfile::writeBankFile(file.toStdString(), model.working(), "2.10",
                                            "ライン7 仕込み", std::tm{})
                        .ok);
        link.reset();
        clearPorts();
    }

    AppOptions editOptions(const QString& path) {
        AppOptions o = options();
        o.arguments = {"--edit", path.toStdString()};
        return o;
    }

    // What a page's "書込み" does: the puts to the controller, then into the working set.
    static void writeThreshold(CQavixApp& app, int value) {
        DeviceModel& model = app.model();
        SettingsData changed = model.working();
        changed.channel(0).axisTh[0] = value;
        const std::vector<codec::PutRequest> puts{codec::encodePut(24, 1, changed)};
        Transactions t(*app.link(), model);
        ASSERT_EQ(t.writeCurrentSet(puts), kRequestOk);
        applyWrittenPuts(puts, model.working());
    }

    QString file;
};

TEST_F(OfflineEdit, TheFilesControllerRunsAndASaveWritesExactlyTheChange) {
    const QString original = AppFixture::file("original.qbk");
    ASSERT_TRUE(QFile::copy(file, original));
    CQavixApp app(editOptions(file));
    ASSERT_TRUE(app.start());
    CMainFrame* frame = app.mainFrame();
    EXPECT_TRUE(app.state().dataReady);
    EXPECT_TRUE(frame->windowTitle().contains("line 7.qbk"));
    EXPECT_TRUE(frame->windowTitle().contains("オフライン編集"));
    // The file's sensors, and banks that fit them: the compatibility check passed.
    EXPECT_EQ(frame->infoBar()->fieldText(0), "24");
    EXPECT_EQ(frame->infoBar()->fieldText(2), "128");
    EXPECT_EQ(app.model().storedSet(1).compatible, 1);
    frame->updateCommandStates();
    EXPECT_FALSE(frame->action(kCmdCommSettings)->isEnabled());
    ASSERT_NE(frame->action(kCmdSaveEditedFile), nullptr);
    EXPECT_EQ(frame->action(kCmdSaveEditedFile)->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_TRUE(frame->action(kCmdExport)->shortcut().isEmpty());
    EXPECT_FALSE(frame->isWindowModified());

    writeThreshold(app, 61);
    frame->updateCommandStates();
    EXPECT_TRUE(frame->isWindowModified());
    // A page still holding edits keeps them out of the file.
    app.model().working().pageEdited[0] = true;
    {
        ModalAnswerer ok(true);
        EXPECT_FALSE(frame->saveEditedFile());
        ASSERT_EQ(ok.texts().size(), 1u);
        EXPECT_EQ(ok.texts()[0],
                  "現在値が編集中です。\n「書込み」又は「取消し」を行ってください。");
    }
    app.model().working().pageEdited[0] = false;
    frame->updateCommandStates();
    frame->action(kCmdSaveEditedFile)->trigger();
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(bankfile::readTitleAndDate(file.toStdString()).title, "ライン7 仕込み");

    const CtlRun diff = runCtl({}, {"bank", "diff", original.toStdString(), file.toStdString()});
    EXPECT_EQ(diff.exitCode, 1);
    const QStringList lines = QString::fromStdString(diff.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    const QString rest = QString(",50").repeated(15);
    EXPECT_EQ(lines[0], "CONTROLLER.AXIS_TH1_1: 50" + rest + " -> 61" + rest);

    // Saved: leaving asks nothing. Qavix.ini keeps its port and unit.
    EXPECT_TRUE(frame->close());
    app.shutdown();
    EXPECT_TRUE(iniText().contains("ActivePort=2"));
}

TEST_F(OfflineEdit, LeavingWithUnsavedChangesAsksSaveDiscardOrCancel) {
    const std::string before = textfile::readText(file.toStdString()).text;
    CQavixApp app(editOptions(file));
    ASSERT_TRUE(app.start());
    CMainFrame* frame = app.mainFrame();
    writeThreshold(app, 70);
    {
        ModalAnswerer cancel(false);
        EXPECT_FALSE(frame->close());
        ASSERT_EQ(cancel.texts().size(), 1u);
        EXPECT_EQ(cancel.texts()[0], "line 7.qbk は変更されています。\n保存しますか？");
    }
    EXPECT_TRUE(frame->isVisible());
    QTimer discard;
    discard.setInterval(10);
    QObject::connect(&discard, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->button(QMessageBox::Discard)->click();
        }
    });
    discard.start();
    EXPECT_TRUE(frame->close());
    app.shutdown();
    EXPECT_EQ(textfile::readText(file.toStdString()).text, before);
}

// The emulator starts from the image the program's reader decoded, so the pages show what
// `qavixctl bank check` took from the file, and a save without an edit changes nothing.
// These files read differently to a reader of other rules: "#=.." holds CH1's ON_TH (only
// ";" starts a comment), two spare entries follow CH1's BLANK3 (the 22nd empty, the 23rd
// never read), and a file with CR line ends.
TEST_F(OfflineEdit, TheControllerHoldsExactlyWhatTheProgramReadFromTheFile) {
    const std::string text = textfile::readText(file.toStdString()).text;
    std::string hashAndSpares = text;
    const size_t onTh = hashAndSpares.find("ON_TH=");  // CH1's comes first
    ASSERT_NE(onTh, std::string::npos);
    hashAndSpares.replace(onTh, 5, "#");
    const size_t blank3End = hashAndSpares.find("\r\n", hashAndSpares.find("BLANK3=")) + 2;
    hashAndSpares.insert(blank3End, "SPARE=\r\nSPARE=28\r\n");
    std::string crOnly = textfile::encodeText(text).bytes;
    for (size_t at = crOnly.find("\r\n"); at != std::string::npos; at = crOnly.find("\r\n", at)) {
        crOnly.erase(at + 1, 1);
    }
    const std::pair<const char*, std::string> cases[] = {
        {"hash line and spare entries", textfile::encodeText(hashAndSpares).bytes},
        {"CR line ends", crOnly},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(fileio::writeFileAtomic(file.toStdString(), bytes).ok);
        SettingsData checked;
        ASSERT_TRUE(bankfile::importFile(file.toStdString(), checked).ok());
        CQavixApp app(editOptions(file));
        ASSERT_TRUE(app.start());
        ASSERT_NE(app.editedFile(), nullptr);
        const SettingsData& shown = app.model().working();
        EXPECT_EQ(shown.channel(0).onTh, checked.channel(0).onTh);
        EXPECT_EQ(shown.channel(0).function, checked.channel(0).function);
        EXPECT_EQ(shown.channel(0).almConf, checked.channel(0).almConf);
        // Every field a bank file holds, compared in the form the file holds it.
        EXPECT_FALSE(app.editedFile()->isModified(shown));
        app.mainFrame()->updateCommandStates();
        EXPECT_FALSE(app.mainFrame()->isWindowModified());

        // Saved anyway: the file now holds the same settings as before, in the writer's form.
        ASSERT_TRUE(app.mainFrame()->saveEditedFile());
        SettingsData saved;
        ASSERT_TRUE(bankfile::importFile(file.toStdString(), saved).ok());
        std::tm fixed{};
        EXPECT_EQ(bankfile::formatBankFile(saved, "2.10", "", fixed).text,
                  bankfile::formatBankFile(checked, "2.10", "", fixed).text);
        EXPECT_TRUE(app.mainFrame()->close());
        app.shutdown();
    }
}

// The emulator is never handed the file's name: a name with quotes, which option text
// would split into options of its own (here a log that truncates another file), opens the
// file it names and touches nothing else.
TEST_F(OfflineEdit, AFileNameThatLooksLikeOptionsOpensThatFileAndTouchesNothingElse) {
    const TempDir trap;
    const QString base = pathOf(trap);
    const QString victim = QDir(base).filePath("thesis.txt");
    const QString decoy = QDir(base).filePath("decoy/line.qbk");
    // As option text, the path reads: --bank-file "<base>/x" --log "<victim>" --bank-file
    // "<decoy>" and a file in the decoy's place would let that emulator start.
    const QString edited = base + "/x\" --log \"" + victim + "\" --bank-file \"" + decoy;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(edited).path()));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(decoy).path()));
    ASSERT_TRUE(QFile::copy(file, edited));
    ASSERT_TRUE(QFile::copy(file, decoy));
    {
        QFile thesis(victim);
        ASSERT_TRUE(thesis.open(QIODevice::WriteOnly) && thesis.write("chapter 1") == 9);
    }
    auto snapshot = [&] {
        std::map<QString, QByteArray> files;
        QDirIterator it(base, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            files[path] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unreadable");
        }
        return files;
    };
    std::map<QString, QByteArray> before = snapshot();

    CQavixApp app(editOptions(edited));
    ASSERT_TRUE(app.start());
    const char* port = std::getenv("QAVLINK_COM3");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(std::string(port).find('"'), std::string::npos) << port;
    EXPECT_EQ(std::string(port).find(base.toStdString()), std::string::npos) << port;
    writeThreshold(app, 66);
    ASSERT_TRUE(app.mainFrame()->saveEditedFile());
    EXPECT_TRUE(app.mainFrame()->close());
    app.shutdown();

    std::map<QString, QByteArray> after = snapshot();
    ASSERT_NE(after[edited], before[edited]);  // the save went to the file named
    after.erase(edited);
    before.erase(edited);
    EXPECT_EQ(after, before);  // and nothing else changed, appeared or went
    SettingsData saved;
    ASSERT_TRUE(bankfile::importFile(edited.toStdString(), saved).ok());
    EXPECT_EQ(saved.channel(0).axisTh[0], 66);
}

// A bank file has no place for the identifications of the controller and its sensors, so
// offline they are shown but not offered, as on a bank; and the status bar names the file
// where it would name the port.
TEST_F(OfflineEdit, IdentificationsAreReadOnlyAndTheStatusBarNamesTheFile) {
    CQavixApp app(editOptions(file));
    ASSERT_TRUE(app.start());
    CMainFrame* frame = app.mainFrame();
    CLeftPaneView* tree = frame->tree();
    CSplitterView* pane = frame->rightPane()->splitterView();

    tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::BasicInfo, 0));
    settle();
    auto* basic = static_cast<CView001*>(pane->view(nav::kViewPage001));
    EXPECT_TRUE(basic->idBox()->isReadOnly());
    EXPECT_EQ(basic->idBox()->palette().color(QPalette::Base),
              basic->idBox()->palette().color(QPalette::Window));
    QTest::keyClicks(basic->idBox(), "beef");
    EXPECT_FALSE(app.model().working().anyPageEdited());

    tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::SensorOperation, 0, 1));
    settle();
    auto* sensor = static_cast<CView016*>(pane->view(nav::kViewPage016));
    EXPECT_TRUE(sensor->idBox()->isReadOnly());

    frame->refreshStatusPanes();
    CColorStatusBar* bar = frame->colorStatusBar();
    EXPECT_EQ(bar->pane(1)->text(), "オフライン編集");
    EXPECT_EQ(bar->pane(2)->text(), "ファイル");
    EXPECT_EQ(bar->pane(3)->text(), "line 7.qbk");
    EXPECT_EQ(bar->pane(3)->toolTip(), file);
    app.shutdown();
}

TEST_F(OfflineEdit, ADamagedFileIsRefusedBeforeAnyWindowWithTheImportMessage) {
    std::string text = textfile::readText(file.toStdString()).text;
    text.erase(text.find("HYS2="), 8);  // a missing value: the lengths no longer add up
    ASSERT_TRUE(textfile::writeText(file.toStdString(), text).ok);
    CQavixApp app(editOptions(file));
    ModalAnswerer ok(true);
    EXPECT_FALSE(app.start());
    EXPECT_EQ(app.exitCode(), 1);
    EXPECT_EQ(app.mainFrame(), nullptr);
    ASSERT_EQ(ok.texts().size(), 1u);
    EXPECT_EQ(ok.texts()[0], "Bankデータが無効です。インポートを中止します。");

    CQavixApp missing(editOptions(AppFixture::file("none.qbk")));
    EXPECT_FALSE(missing.start());
    EXPECT_EQ(missing.exitCode(), 1);
}

}  // namespace
}  // namespace qavix::test
