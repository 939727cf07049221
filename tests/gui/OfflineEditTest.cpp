// `qavix --edit FILE`: the program on the emulator loaded with the file, the title, saving
// back with the title kept, the question when leaving, and the refusal of a bad file.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "PageTestSupport.h"
#include "app/CQavixApp.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#include "files/TextFile.h"
#include "frame/CInfoDialogBar.h"
#include "frame/CommandIds.h"
#include "model/PageRequests.h"

namespace qavix::test {
namespace {

class OfflineEdit : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        clearPorts();
        // Qavix.ini names COM3 and unit 2: the file's emulator takes their place.
        ASSERT_TRUE(writeIni(dir.path(),
                             "[Option]\r\nSplash=0\r\n[Qavix_Section]\r\n"
                             "ActivePort=2\r\nActiveMachine=2\r\n"));
        file = QDir(dir.path()).filePath("line 7.qbk");
        writeFileFromEmulator("sim:--sensors 24,128");
    }
    void TearDown() override { clearPorts(); }

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
        AppOptions o = appOptions(dir.path());
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

    QTemporaryDir dir;
    QString file;
};

TEST_F(OfflineEdit, TheFilesControllerRunsAndASaveWritesExactlyTheChange) {
    const QString original = QDir(dir.path()).filePath("original.qbk");
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

    QProcess diff;
    diff.start(QString(QAVIX_BIN_DIR) + "/qavixctl", {"bank", "diff", original, file});
    ASSERT_TRUE(diff.waitForFinished(10000));
    EXPECT_EQ(diff.exitCode(), 1);
    const QStringList lines =
        QString::fromUtf8(diff.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    const QString rest = QString(",50").repeated(15);
    EXPECT_EQ(lines[0], "CONTROLLER.AXIS_TH1_1: 50" + rest + " -> 61" + rest);

    // Saved: leaving asks nothing. Qavix.ini keeps its port and unit.
    EXPECT_TRUE(frame->close());
    app.shutdown();
    EXPECT_TRUE(iniText(dir.path()).contains("ActivePort=2"));
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

    CQavixApp missing(editOptions(QDir(dir.path()).filePath("none.qbk")));
    EXPECT_FALSE(missing.start());
    EXPECT_EQ(missing.exitCode(), 1);
}

}  // namespace
}  // namespace qavix::test
