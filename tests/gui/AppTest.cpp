// The whole program in-process: start-up against the built-in emulator and against
// qavix-sim on a pseudo-terminal, debug mode, a missing library, no port, a pulled cable.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>

#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "app/CQavixApp.h"
#include "app/QtCommHost.h"
#include "comm/CommMessages.h"
#include "comm/LinkLibrary.h"
#include "frame/CDebugView.h"
#include "frame/CInfoDialogBar.h"
#include "frame/CLeftPaneView.h"
#include "widgets/CColorStatusBar.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

class AppRun : public AppFixture {
  protected:
    static QStringList sensorItems(CLeftPaneView* tree) {
        QStringList out;
        for (int ch = 1; ch <= 3; ++ch) {
            if (QTreeWidgetItem* i = tree->findItem(ItemKind::Sensor, 0, ch)) {
                out << i->text(0);
            }
        }
        return out;
    }

    void expectConnectedWithThreeSensors(CQavixApp& app) {
        EXPECT_TRUE(app.connected());
        EXPECT_TRUE(app.state().dataReady);
        CMainFrame* frame = app.mainFrame();
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->isVisible());
        CColorStatusBar* status = frame->colorStatusBar();
        EXPECT_EQ(status->pane(1)->text(), "接続");
        EXPECT_EQ(status->pane(1)->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        EXPECT_EQ(status->pane(3)->text(), "COM1 9600bps");
        EXPECT_EQ(sensorItems(frame->tree()),
                  (QStringList{"センサ CH1", "センサ CH2", "センサ CH3"}));
        EXPECT_EQ(frame->infoBar()->fieldText(0), "40");
        EXPECT_EQ(frame->infoBar()->fieldText(2), "32");
        EXPECT_EQ(frame->infoBar()->fieldText(4), "16");
        const int roots = app.model().working().general.bankFunction != 0 ? 5 : 1;
        EXPECT_EQ(frame->tree()->tree()->topLevelItemCount(), roots);
    }
};

TEST_F(AppRun, StartsAgainstTheBuiltInEmulator) {
    setenv("QAVLINK_COM1", "sim:--sensors 40,32,16", 1);
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    expectConnectedWithThreeSensors(app);
    EXPECT_EQ(app.mainFrame()->debugView(), nullptr);
    // The initial read's bar reached the count it planned, banks included.
    const auto [value, maximum] = app.initialReadProgress();
    EXPECT_EQ(value, maximum);
    EXPECT_GT(maximum, Transactions::kBankReadRequests);
    EXPECT_TRUE(app.mainFrame()->colorStatusBar()->pane(3)->toolTip().contains("内蔵エミュレータ"));
    app.shutdown();
    const QString ini = iniText();
    EXPECT_TRUE(ini.contains("[ToolDialog]\r\nVisible=1\r\nFloat=0\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("ActivePort=0"));
    EXPECT_TRUE(ini.contains("Show=1"));
}

TEST_F(AppRun, SelectingABankReadsItAndOpensItsSubtree) {
    setenv("QAVLINK_COM1", "sim", 1);
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    CLeftPaneView* tree = app.mainFrame()->tree();
    ASSERT_EQ(tree->tree()->topLevelItemCount(), 5);
    // The emulator's four banks hold settings of this controller.
    for (int b = 1; b <= 4; ++b) {
        EXPECT_EQ(tree->rootItem(b)->data(0, CLeftPaneView::kRoleImage).toInt(),
                  nav::kImageBankWithData);
        EXPECT_EQ(app.model().storedSet(b).loaded, 0);
    }
    EXPECT_EQ(app.model().working().channel(0).axisTh[0], 50);

    tree->tree()->setCurrentItem(tree->rootItem(2));
    EXPECT_EQ(app.model().selectedSet(), 2);
    EXPECT_EQ(app.model().storedSet(2).loaded, 1);
    EXPECT_EQ(app.model().working().channel(0).axisTh[0], 45);  // Bank 2's thresholds
    EXPECT_EQ(tree->rootItem(0)->childCount(), 0);
    EXPECT_GT(tree->rootItem(2)->childCount(), 0);
    EXPECT_FALSE(app.state().commBusy());
    EXPECT_TRUE(app.mainFrame()->commandsAllowed());

    tree->tree()->setCurrentItem(tree->rootItem(0));
    EXPECT_EQ(app.model().selectedSet(), 0);
    EXPECT_EQ(app.model().working().channel(0).axisTh[0], 50);
}

TEST_F(AppRun, TwoArgumentsMakeTheDebugSwitchAndTheTraceFills) {
    setenv("QAVLINK_COM1", "sim", 1);
    AppOptions o = options();
    o.arguments = {"/d", "b"};
    o.commTimings.pollPeriod = std::chrono::milliseconds(50);
    CQavixApp app(o);
    ASSERT_TRUE(app.start());
    EXPECT_TRUE(app.state().debugMode);
    EXPECT_FALSE(app.state().extendedMode);
    CDebugView* trace = app.mainFrame()->debugView();
    ASSERT_NE(trace, nullptr);
    // Idle status checks are recorded as they happen.
    ASSERT_TRUE(waitUntil([&] { return trace->log().lineCount() >= 4; }, 5000));
    const QStringList lines = trace->toPlainText().split('\n');
    EXPECT_TRUE(lines[0].startsWith("   1 S > [STX]")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("   2 R > [STX]")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("[ETX]"));
}

TEST_F(AppRun, AMissingLinkLibraryEndsStartUpWithItsMessage) {
    setenv("QAVLINK_COM1", "sim", 1);
    AppOptions o = options();
    o.libraryPath = file("libqavlink.so");
    ModalAnswerer answers;
    CQavixApp app(o);
    EXPECT_FALSE(app.start());
    EXPECT_EQ(app.exitCode(), 1);
    EXPECT_EQ(app.mainFrame(), nullptr);
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0], kLinkLoadFailedMessage);
}

TEST_F(AppRun, WithoutPortsTheUserIsToldAndCancelEnds) {
    for (int n = 1; n <= 6; ++n) {
        setenv(("QAVLINK_COM" + std::to_string(n)).c_str(),
               file("no-such-tty").toUtf8().constData(), 1);
    }
    AppOptions o = options();
    o.commTimings.retryDelay = std::chrono::milliseconds(0);
    ModalAnswerer cancel(false);
    CQavixApp app(o);
    EXPECT_FALSE(app.start());
    EXPECT_TRUE(app.ending());
    EXPECT_EQ(app.mainFrame(), nullptr);
    // Said once: the port and what is wrong with it, in the question itself, with no
    // general "no valid COM port" before it and no cut line claimed.
    ASSERT_EQ(cancel.texts().size(), 1u);
    const std::string& question = cancel.texts()[0];
    EXPECT_NE(question.find("通信ポート COM1 のデバイス"), std::string::npos) << question;
    EXPECT_NE(question.find("no-such-tty がありません"), std::string::npos) << question;
    EXPECT_NE(question.find(msg::kAskCommSetupOnly), std::string::npos) << question;
    EXPECT_EQ(question.find("断絶"), std::string::npos) << question;
}

// A port that opens but where no controller ever answered: the question names the port
// and its device and what to check, and calls nothing cut.
TEST_F(AppRun, APortWhereNothingEverAnsweredIsNamedNotCalledCut) {
    SimProcess sim({"--hang-after", "0"});
    ASSERT_TRUE(deviceOf(sim).startsWith("/dev/")) << sim.device();
    setPort(1, deviceOf(sim));
    AppOptions o = options();
    o.commTimings.retryDelay = std::chrono::milliseconds(0);
    o.commTimings.requestTimeout = std::chrono::milliseconds(50);
    ModalAnswerer cancel(false);
    CQavixApp app(o);
    EXPECT_FALSE(app.start());
    EXPECT_TRUE(app.ending());
    ASSERT_EQ(cancel.texts().size(), 1u);
    const std::string& question = cancel.texts()[0];
    const std::string named = "通信ポート COM1 のデバイス " + sim.device();
    EXPECT_EQ(question.rfind(named, 0), 0u) << question;
    EXPECT_NE(question.find("エリアスキャナが応答しません"), std::string::npos) << question;
    EXPECT_NE(question.find("号機番号"), std::string::npos) << question;
    EXPECT_NE(question.find(msg::kAskCommSetupOnly), std::string::npos) << question;
    EXPECT_EQ(question.find("断絶"), std::string::npos) << question;
}

TEST_F(AppRun, ConnectsToTheEmulatorOnAPseudoTerminal) {
    SimProcess sim({"--sensors", "40,32,16"});
    ASSERT_TRUE(deviceOf(sim).startsWith("/dev/")) << deviceOf(sim).toStdString();
    setPort(1, deviceOf(sim));
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    expectConnectedWithThreeSensors(app);
}

TEST_F(AppRun, ACableLostDuringTheInitialReadEndsStartUp) {
    SimProcess sim({"--hang-after", "40"});
    setPort(1, deviceOf(sim));
    ModalAnswerer answers;
    CQavixApp app(options());
    EXPECT_FALSE(app.start());
    EXPECT_TRUE(app.ending());
    EXPECT_EQ(app.mainFrame(), nullptr);
    ASSERT_FALSE(answers.texts().empty());
    EXPECT_EQ(answers.texts().back(), msg::kCommunicationCut);
    // OK ends it for good.
    app.shutdown();
    EXPECT_FALSE(app.restartIfAsked());
    // No window is left open.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
}

TEST_F(AppRun, ReconnectAfterALostConnectionStartsTheProgramAgainAlike) {
    SimProcess sim({"--hang-after", "40"});
    setPort(1, deviceOf(sim));
    // Chooses "再接続" in the message of the lost connection, OK anywhere else.
    QTimer clicker;
    QString lostText;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == QtCommHost::kReconnectText) {
                lostText = box->text();
                b->click();
                return;
            }
        }
        box->button(QMessageBox::Ok)->click();
    });
    clicker.start(10);
    AppOptions o = options();
    o.arguments = {"/ad", "/db"};
    int restarts = 0;
    QString program;
    QStringList args;
    QString folder;
    o.restart = [&](const QString& p, const QStringList& a, const QString& f) {
        ++restarts;
        program = p;
        args = a;
        folder = f;
        return true;
    };
    CQavixApp app(o);
    app.run();
    EXPECT_EQ(lostText.toStdString(), msg::kCommunicationCut);
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(program, QCoreApplication::applicationFilePath());
    EXPECT_EQ(args, (QStringList{"/ad", "/db"}));
    EXPECT_EQ(folder, dirPath());
    // The settings were written before the new start reads them.
    EXPECT_TRUE(iniText().contains("ActivePort=0"));
    EXPECT_FALSE(app.restartIfAsked()) << "only once";
}

TEST_F(AppRun, APulledCableEndsTheProgramAfterItsMessage) {
    // How many requests start-up makes, so the cable can be pulled just after it.
    int startupRequests = 0;
    {
        const QString log = file("startup.log");
        SimProcess sim({"--sensors", "40,32,16", "--log", log.toStdString()});
        setPort(1, deviceOf(sim));
        CQavixApp app(options());
        ASSERT_TRUE(app.start());
        app.shutdown();
        // Ended, the emulator has written its whole log.
        sim.stop();
        startupRequests = lineCount(log);
    }
    ASSERT_GT(startupRequests, 100);

    SimProcess sim({"--sensors", "40,32,16", "--hang-after", std::to_string(startupRequests + 3)});
    setPort(1, deviceOf(sim));
    AppOptions o = options();
    o.commTimings.pollPeriod = std::chrono::milliseconds(200);
    ModalAnswerer answers;
    CQavixApp app(o);
    ASSERT_TRUE(app.start());
    bool ended = false;
    QObject::connect(&app, &CQavixApp::ended, [&] { ended = true; });
    ASSERT_TRUE(waitUntil([&] { return ended; }, 20000));
    ASSERT_FALSE(answers.texts().empty());
    EXPECT_EQ(answers.texts().back(), msg::kCommunicationCut);
    EXPECT_TRUE(app.ending());
    EXPECT_TRUE(waitUntil(
        [&] { return app.mainFrame() == nullptr || !app.mainFrame()->isVisible(); }, 5000));
}

// A Qavix.ini that is no settings text (here a NUL) chooses nothing: the program starts with
// the defaults and says so once in the status bar rather than not at all.
TEST_F(AppRun, AnUnusableQavixIniIsSaidInTheStatusBarAndTheDefaultsAreUsed) {
    setenv("QAVLINK_COM1", "sim", 1);
    QFile ini(file("Qavix.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // Read, it would choose COM3, where nothing answers.
    QByteArray bytes("[Option]\r\nSplash=0\r\n[Qavix_Section]\r\nActivePort=2\r\n");
    bytes.append('\0');
    ini.write(bytes);
    ini.close();
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    EXPECT_TRUE(app.connected());
    CColorStatusBar* status = app.mainFrame()->colorStatusBar();
    EXPECT_EQ(status->pane(3)->text(), "COM1 9600bps");
    const QString said = status->pane(0)->text();
    EXPECT_TRUE(said.startsWith("Qavix.ini を読み込めないため、既定の設定で動作しています"))
        << said.toStdString();
    EXPECT_TRUE(said.contains("NUL")) << said.toStdString();
    app.shutdown();
}

}  // namespace
}  // namespace qavix::test
