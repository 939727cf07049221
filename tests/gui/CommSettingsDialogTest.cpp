// "通信設定" against qavix-sim on pseudo-terminals: saving the chosen port, going back to
// the settings it started with, the end-program question when nothing answers, the
// worker's first-connection question running the dialog, and a new unit reaching the
// status bar after the link was opened again.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenuBar>
#include <QTest>
#include <cstdlib>

#include "AccessibleNames.h"
#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "app/CInitialReadDlg.h"
#include "app/CQavixApp.h"
#include "app/CommSettingsDialog.h"
#include "comm/CommMessages.h"
#include "comm/PortChoices.h"
#include "files/CBankExportDlg.h"
#include "files/CBankImportDlg.h"
#include "frame/CInfoDialogBar.h"
#include "frame/CLeftPaneView.h"
#include "frame/CProgressDlg.h"
#include "frame/CommandIds.h"
#include "widgets/CColorStatusBar.h"
#include "widgets/CPictureButton.h"

namespace qavix::test {
namespace {

// Answers message boxes (recording their texts) and runs a script on the communication
// settings dialog each time one opens.
class DialogDriver {
  public:
    using Script = std::function<void(CommSettingsDialog&)>;
    explicit DialogDriver(Script script, bool okToQuestions = true)
        : m_script(std::move(script)), m_ok(okToQuestions) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start();
    }
    void setOk(bool ok) { m_ok = ok; }
    const std::vector<std::string>& texts() const { return m_texts; }
    int dialogsSeen() const { return m_dialogs; }

  private:
    void tick() {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            m_texts.push_back(box->text().toStdString());
            box->button(m_ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
            return;
        }
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<CommSettingsDialog*>(top);
            if (d != nullptr && d->isVisible() && d != m_current) {
                m_current = d;
                ++m_dialogs;
                m_script(*d);
                return;
            }
        }
    }

    Script m_script;
    bool m_ok;
    QTimer m_timer;
    QPointer<CommSettingsDialog> m_current;
    std::vector<std::string> m_texts;
    int m_dialogs = 0;
};

class CommDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        clearPorts();
        settings.loadFrom(QDir(pathOf(dir)).filePath("Qavix.ini").toStdString());
    }
    void TearDown() override { link.end(); }

    void connectLink() {
        ASSERT_TRUE(link.start(QString(QAVIX_BIN_DIR "/libqavlink.so").toStdString()));
        link.setSettings(makeLinkSettings(ports));
        link.setConnecting(true);
        link.open();
        link.setConnecting(false);
        link.checkStatus();
        link.suspendPolling();
    }

    CommDialogContext context() {
        return CommDialogContext{ports,
                                 present,
                                 link,
                                 settings,
                                 state,
                                 [this] { ++endCalls; },
                                 CommDialogTimings{0, 500}};
    }

    static CommTimings fastTimings() {
        CommTimings t;
        t.retryDelay = std::chrono::milliseconds(0);
        return t;
    }

    const TempDir dir;
    SettingsFile settings;
    DeviceModel model;
    SilentHost host;
    CCommLink link{host, model, fastTimings()};
    AppState state{model};
    PortSettings ports;
    PresentPorts present{};
    int endCalls = 0;
};

TEST_F(CommDialog, OpensWithTheApplicationsSettings) {
    present = {true, false, true, false, false, false};
    ports.activePort = 2;
    ports.activeMachine = 3;
    ports.ports[2].baudIndex = 4;
    ports.ports[2].bytesize = 0;
    ports.ports[2].parity = 1;
    ports.ports[2].stopbit = 0;
    state.user.button = 7;
    CommSettingsDialog d(context());
    EXPECT_EQ(d.windowTitle(), "通信設定");
    EXPECT_TRUE(d.portButton(2)->isChecked());
    EXPECT_TRUE(d.portButton(0)->isEnabled());
    // A port without a device can still be chosen, to map it to one or to the emulator.
    EXPECT_TRUE(d.portButton(1)->isEnabled());
    EXPECT_TRUE(d.baudButton(4)->isChecked());
    EXPECT_EQ(d.baudButton(4)->text(), "57600 bps");
    EXPECT_TRUE(d.byteSizeButton(0)->isChecked());
    EXPECT_TRUE(d.parityButton(1)->isChecked());
    EXPECT_TRUE(d.stopButton(0)->isChecked());
    ASSERT_EQ(d.unitList()->count(), 16);
    EXPECT_EQ(d.unitList()->itemText(0), "０号機");
    EXPECT_EQ(d.unitList()->itemText(15), "１５号機");
    EXPECT_EQ(d.unitList()->currentIndex(), 3);
    // Heard as "号機番号", the box's title, with "３号機" as its value.
    EXPECT_EQ(dropDownsNotCalledByTheirLabel(&d), std::vector<std::string>{});
    EXPECT_EQ(QAccessible::queryAccessibleInterface(d.unitList())->text(QAccessible::Name),
              "号機番号");
    EXPECT_EQ(d.statusLabel()->text(), "未接続");
    EXPECT_EQ(d.okButton()->texture(), ButtonTexture::Metal);
    // Choices go straight into the application's settings.
    d.portButton(0)->click();
    EXPECT_EQ(ports.activePort, 0);
    d.baudButton(1)->click();
    EXPECT_EQ(ports.ports[0].baudIndex, 1);
    emit d.unitList()->activated(12);
    EXPECT_EQ(ports.activeMachine, 12);
}

// A screen reader picks a port with the toggle action, which is no mouse click.
TEST_F(CommDialog, APortPickedByAScreenReaderIsTheOneChosen) {
    present = {true, true, false, false, false, false};
    CommSettingsDialog d(context());
    ASSERT_TRUE(d.portButton(0)->isChecked());
    QAccessibleInterface* com2 = QAccessible::queryAccessibleInterface(d.portButton(1));
    ASSERT_NE(com2, nullptr);
    ASSERT_NE(com2->actionInterface(), nullptr);
    com2->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(d.portButton(1)->isChecked());
    EXPECT_EQ(ports.activePort, 1);
}

TEST_F(CommDialog, SettingTheEmulatorsPortSavesItAndCloses) {
    SimProcess sim({"--sensors", "40,32"});
    ASSERT_TRUE(deviceOf(sim).startsWith("/dev/"));
    setPort(1, QDir(pathOf(dir)).filePath("no-such-tty"));
    setPort(2, deviceOf(sim));
    present = {false, true, false, false, false, false};
    connectLink();
    ASSERT_FALSE(link.unitConnected(0));

    CommSettingsDialog d(context());
    d.show();
    EXPECT_EQ(d.statusLabel()->text(), "未接続");
    EXPECT_TRUE(d.portTarget(0)->toolTip().endsWith("no-such-tty"));
    EXPECT_EQ(d.portTarget(1)->toolTip(), deviceOf(sim));
    // Set from the environment, which wins over Qavix.ini: shown, not offered for change.
    EXPECT_FALSE(d.deviceList()->isEnabled());
    d.portButton(1)->click();
    d.okButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(state.commSettingsUsed);
    EXPECT_TRUE(link.unitConnected(0));
    EXPECT_EQ(link.settings().activePort, 1);
    EXPECT_EQ(endCalls, 0);

    SettingsFile saved;
    ASSERT_TRUE(saved.loadFrom(settings.path()));
    EXPECT_EQ(saved.getInt("COM2_SETTING", "Port", -1), 1);
    EXPECT_EQ(saved.getInt("COM2_SETTING", "Machine", -1), 0);
    EXPECT_EQ(saved.getInt("COM2_SETTING", "Baudrate", -1), 0);
    EXPECT_EQ(saved.getInt("Qavix_Section", "ActivePort", -1), 1);
    EXPECT_EQ(saved.getInt("Qavix_Section", "ActiveMachine", -1), 0);
    EXPECT_EQ(saved.getInt("COM1_SETTING", "Port", -1), -1);
}

TEST_F(CommDialog, DevicesAreListedAndAMappingIsTriedThenSavedForTheNextStart) {
    SimProcess sim({"--sensors", "40,32"});
    ASSERT_TRUE(deviceOf(sim).startsWith("/dev/"));
    settings.setString("Ports", "COM2", deviceOf(sim).toStdString());
    settings.setInt("Option", "Splash", 0);
    connectLink();

    CommSettingsDialog d(context());
    d.show();
    EXPECT_EQ(d.portTarget(1)->toolTip(), deviceOf(sim));
    d.portButton(1)->click();
    QStringList listed;
    for (int i = 0; i < d.deviceList()->count(); ++i) {
        listed << d.deviceList()->itemData(i).toString();
    }
    EXPECT_TRUE(listed.contains(deviceOf(sim))) << listed.join(",").toStdString();
    EXPECT_TRUE(listed.contains("sim"));
    EXPECT_EQ(d.deviceList()->currentData().toString(), deviceOf(sim));

    // COM4 has nothing behind it: the test says so and names the port.
    d.portButton(3)->click();
    const int automatic = d.deviceList()->findData(QString());
    ASSERT_GE(automatic, 0);
    if (d.portTarget(3)->toolTip() == "（デバイスなし）") {
        EXPECT_FALSE(d.runTest());
        EXPECT_TRUE(d.errorLabel()->isVisibleTo(&d));
        EXPECT_TRUE(d.errorLabel()->text().contains("COM4"))
            << d.errorLabel()->text().toStdString();
    }
    // Mapped to the emulator, it answers before anything is saved.
    const int emulator = d.deviceList()->findData("sim");
    choose(d.deviceList(), emulator);
    EXPECT_EQ(d.portTarget(3)->text(), "内蔵エミュレータ");
    EXPECT_TRUE(iniText(pathOf(dir)).isEmpty() || !iniText(pathOf(dir)).contains("COM4=sim"));
    d.okButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.errorLabel()->isVisibleTo(&d));

    SettingsFile saved;
    ASSERT_TRUE(saved.loadFrom(settings.path()));
    EXPECT_EQ(saved.getString("Ports", "COM4", ""), "sim");
    EXPECT_EQ(saved.getString("Ports", "COM2", ""), deviceOf(sim).toStdString());
    EXPECT_EQ(saved.getInt("Qavix_Section", "ActivePort", -1), 3);
    link.end();

    // The next start, in that folder, opens COM4 through the saved mapping.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(pathOf(dir)));
    {
        CQavixApp app(appOptions(pathOf(dir)));
        EXPECT_TRUE(app.start());
        EXPECT_TRUE(app.connected());
        ASSERT_NE(app.mainFrame(), nullptr);
        EXPECT_EQ(app.mainFrame()->colorStatusBar()->pane(3)->text(), "COM4 9600bps");
        EXPECT_TRUE(
            app.mainFrame()->colorStatusBar()->pane(3)->toolTip().contains("内蔵エミュレータ"));
        app.shutdown();
    }
    QDir::setCurrent(before);
}

TEST_F(CommDialog, CancelAfterAnotherPortReconnectsWithTheOriginalSettings) {
    const QString logA = QDir(pathOf(dir)).filePath("a.log");
    SimProcess a({"--log", logA.toStdString()});
    SimProcess b({});
    setPort(1, deviceOf(a));
    setPort(2, deviceOf(b));
    present = {true, true, false, false, false, false};
    connectLink();
    ASSERT_TRUE(link.unitConnected(0));

    CommSettingsDialog d(context());
    d.show();
    EXPECT_EQ(d.statusLabel()->text(), "接続");
    d.portButton(1)->click();
    d.baudButton(2)->click();
    ASSERT_TRUE(d.runTest());
    EXPECT_EQ(link.settings().activePort, 1);
    const int before = lineCount(logA);

    d.cancelButton()->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(ports.activePort, 0);
    EXPECT_EQ(ports.ports[0].baudIndex, 0);
    EXPECT_EQ(link.settings().activePort, 0);
    EXPECT_EQ(link.settings().blocks[0][0], 9600);
    EXPECT_TRUE(link.unitConnected(0));
    // The status read of the test reached the first emulator again.
    EXPECT_GT(lineCount(logA), before);
    // Nothing was written.
    SettingsFile saved;
    saved.loadFrom(settings.path());
    EXPECT_EQ(saved.getInt("Qavix_Section", "ActivePort", -1), -1);
}

TEST_F(CommDialog, WithNoControllerBothButtonsAskWhetherToEnd) {
    SimProcess sim({});
    setPort(1, deviceOf(sim));
    present = {true, false, false, false, false, false};
    connectLink();
    ASSERT_TRUE(link.unitConnected(0));
    sim.kill();

    CommSettingsDialog d(context());
    d.show();
    DialogDriver cancel([](CommSettingsDialog&) {}, false);
    d.okButton()->click();
    // What the test found, naming the port, then the question; no cut line claimed. (Why
    // the port fails may change between two tests: the terminal's number can be taken by
    // another program meanwhile.)
    auto expectNamedQuestion = [&sim](const std::string& asked) {
        const std::string question = CommSettingsDialog::kAskEndText;
        EXPECT_EQ(asked.rfind("通信ポート COM1 のデバイス " + sim.device(), 0), 0u) << asked;
        EXPECT_EQ(asked.substr(asked.size() - std::min(asked.size(), question.size())), question);
        EXPECT_EQ(asked.find("断絶"), std::string::npos) << asked;
    };
    ASSERT_EQ(cancel.texts().size(), 1u);
    expectNamedQuestion(cancel.texts()[0]);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.statusLabel()->text(), "未接続");
    EXPECT_FALSE(link.unitConnected(0));
    EXPECT_EQ(endCalls, 0);

    d.cancelButton()->click();
    ASSERT_EQ(cancel.texts().size(), 2u);
    expectNamedQuestion(cancel.texts()[1]);
    EXPECT_TRUE(d.isVisible());

    cancel.setOk(true);
    d.cancelButton()->click();
    EXPECT_EQ(endCalls, 1);
    EXPECT_TRUE(d.endChosen());
    EXPECT_FALSE(d.isVisible());
    SettingsFile saved;
    saved.loadFrom(settings.path());
    EXPECT_EQ(saved.getInt("Qavix_Section", "ActivePort", -1), -1);
}

TEST_F(CommDialog, NotConnectedBlinks) {
    present = {true, false, false, false, false, false};
    CommDialogContext c = context();
    c.timings.blinkMs = 10;
    CommSettingsDialog d(c);
    d.show();
    std::set<QRgb> colours;
    waitUntil(
        [&] {
            colours.insert(d.statusLabel()->palette().color(QPalette::WindowText).rgb());
            return colours.size() >= 2;
        },
        2000);
    EXPECT_EQ(colours, (std::set<QRgb>{QColor(255, 0, 0).rgb(), QColor(255, 128, 128).rgb()}));
}

int networkChoice(const CommSettingsDialog& d) {
    for (int i = 0; i < d.deviceList()->count(); ++i) {
        const QString value = d.deviceList()->itemData(i).toString();
        if (value == kNetworkChoiceValue || value.startsWith("tcp:") ||
            value.startsWith("rfc2217:")) {
            return i;
        }
    }
    return -1;
}

bool markedInvalid(const QLineEdit* field) {
    return field->palette().color(QPalette::Base) == QColor(255, 0, 0);
}

TEST_F(CommDialog, ANetworkPortIsCheckedAsTypedThenTriedAndSaved) {
    ::setenv("QAVLINK_CONNECT_TIMEOUT", "300", 1);
    SimProcess sim({"--listen", "0", "--sensors", "40,32"});
    ASSERT_TRUE(deviceOf(sim).startsWith("tcp:127.0.0.1:")) << deviceOf(sim).toStdString();
    const QString port = deviceOf(sim).section(':', 2);
    connectLink();

    CommSettingsDialog d(context());
    d.show();
    d.portButton(2)->click();
    EXPECT_FALSE(d.networkRow()->isVisible());
    const int network = networkChoice(d);
    ASSERT_GE(network, 0);
    choose(d.deviceList(), network);
    ASSERT_TRUE(d.networkRow()->isVisible());
    EXPECT_EQ(d.hostField()->accessibleName(), "ホスト");
    EXPECT_EQ(d.protocolList()->accessibleName(), "プロトコル");

    // Each key is checked: a port typed into the host field, a port number out of range.
    QTest::keyClicks(d.hostField(), "127.0.0.1:" + port);
    EXPECT_TRUE(markedInvalid(d.hostField()));
    EXPECT_TRUE(d.networkProblemLabel()->isVisible());
    EXPECT_EQ(d.mapping(2), "");
    d.hostField()->clear();
    QTest::keyClicks(d.hostField(), "127.0.0.1");
    QTest::keyClicks(d.networkPortField(), "70000");
    EXPECT_EQ(d.networkPortField()->text(), "70000");
    EXPECT_FALSE(markedInvalid(d.hostField()));
    EXPECT_TRUE(markedInvalid(d.networkPortField()));
    EXPECT_NE(d.portTarget(2)->toolTip().indexOf("1〜65535"), -1)
        << "the port shows no target while its fields are wrong";
    EXPECT_FALSE(d.runTest()) << "nothing half typed is tried";
    EXPECT_NE(d.errorLabel()->text().indexOf("1〜65535"), -1)
        << d.errorLabel()->text().toStdString();

    d.networkPortField()->clear();
    QTest::keyClicks(d.networkPortField(), port);
    EXPECT_FALSE(markedInvalid(d.networkPortField()));
    EXPECT_FALSE(d.networkProblemLabel()->isVisible());
    EXPECT_EQ(QString::fromStdString(d.mapping(2)), deviceOf(sim));
    EXPECT_EQ(d.portTarget(2)->toolTip(), deviceOf(sim));

    // The emulator's port is raw: RFC 2217 finds nobody to negotiate with, and says so.
    choose(d.protocolList(), 1);
    EXPECT_EQ(QString::fromStdString(d.mapping(2)), "rfc2217:127.0.0.1:" + port);
    EXPECT_FALSE(d.runTest());
    EXPECT_NE(d.errorLabel()->text().indexOf("COM-PORT-OPTION"), -1)
        << d.errorLabel()->text().toStdString();
    choose(d.protocolList(), 0);

    // A failed test here would leave "設定" waiting in its end-program question.
    ASSERT_TRUE(d.runTest()) << d.errorLabel()->text().toStdString();
    d.okButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(link.unitConnected(0));
    EXPECT_EQ(link.settings().activePort, 2);
    SettingsFile saved;
    ASSERT_TRUE(saved.loadFrom(settings.path()));
    EXPECT_EQ(QString::fromStdString(saved.value("Ports", "COM3").value_or("")), deviceOf(sim));
    ::unsetenv("QAVLINK_CONNECT_TIMEOUT");
}

// A raw device server keeps its own line settings: when nothing answers behind it, the
// test names the port and its target and does not send the user to the speed or cable.
TEST_F(CommDialog, ARawDeviceServerWhereNothingAnswersIsNamedWithoutSpeedOrCable) {
    SimProcess sim({"--listen", "0", "--hang-after", "0"});
    ASSERT_TRUE(deviceOf(sim).startsWith("tcp:127.0.0.1:")) << sim.device();
    settings.setString("Ports", "COM3", sim.device());
    ASSERT_TRUE(link.start(QString(QAVIX_BIN_DIR "/libqavlink.so").toStdString()));
    CommSettingsDialog d(context());
    d.show();
    d.portButton(2)->click();
    EXPECT_FALSE(d.runTest());
    const QString said = d.errorLabel()->text();
    EXPECT_TRUE(said.startsWith("通信ポート COM3 の接続先 " + deviceOf(sim))) << said.toStdString();
    EXPECT_TRUE(said.contains("エリアスキャナが応答しません")) << said.toStdString();
    EXPECT_TRUE(said.contains("号機番号"));
    EXPECT_FALSE(said.contains("通信速度")) << said.toStdString();
    EXPECT_FALSE(said.contains("ケーブル")) << said.toStdString();
}

TEST_F(CommDialog, AStoredNetworkPortOpensWithItsFieldsFilled) {
    settings.setString("Ports", "COM2", "rfc2217:[fe80::1%eth0]:4001");
    CommSettingsDialog d(context());
    d.show();
    EXPECT_EQ(d.portTarget(1)->toolTip(), "rfc2217:[fe80::1%eth0]:4001");
    d.portButton(1)->click();
    EXPECT_TRUE(d.networkRow()->isVisible());
    EXPECT_EQ(d.hostField()->text(), "[fe80::1%eth0]");
    EXPECT_EQ(d.networkPortField()->text(), "4001");
    EXPECT_EQ(d.protocolList()->currentIndex(), 1);
    d.portButton(0)->click();
    EXPECT_FALSE(d.networkRow()->isVisible()) << "COM1 is no network port";
}

using CommApp = AppFixture;

TEST_F(CommApp, TheFirstConnectionQuestionRunsTheDialog) {
    SimProcess sim({"--sensors", "40"});
    setPort(1, file("no-such-tty"));
    setPort(2, deviceOf(sim));
    DialogDriver driver([](CommSettingsDialog& d) {
        d.portButton(1)->click();
        d.okButton()->click();
    });
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    EXPECT_EQ(driver.dialogsSeen(), 1);
    ASSERT_FALSE(driver.texts().empty());
    // The question says what is wrong with COM1 before it offers the settings.
    EXPECT_NE(driver.texts()[0].find("no-such-tty がありません"), std::string::npos);
    EXPECT_NE(driver.texts()[0].find(msg::kAskCommSetupOnly), std::string::npos);
    EXPECT_TRUE(app.state().dataReady);
    EXPECT_TRUE(app.state().commSettingsUsed);
    EXPECT_EQ(app.portSettings().activePort, 1);
    EXPECT_EQ(app.mainFrame()->infoBar()->fieldText(0), "40");
    app.mainFrame()->refreshStatusPanes();
    EXPECT_EQ(app.mainFrame()->colorStatusBar()->pane(3)->text(), "COM2 9600bps");
    app.shutdown();
}

TEST_F(CommApp, AnotherUnitReachesTheStatusBarAfterTheLinkIsOpenedAgain) {
    SimProcess a({"--sensors", "40,32,16"});
    SimProcess b({"--sensors", "24", "--unit", "12"});
    setPort(1, deviceOf(a));
    setPort(2, deviceOf(b));
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    CMainFrame* frame = app.mainFrame();
    ASSERT_EQ(frame->infoBar()->fieldText(0), "40");
    frame->updateCommandStates();
    QAction* command = frame->action(kCmdCommSettings);
    ASSERT_TRUE(command->isEnabled());
    app.model().working().pageEdited[3] = true;

    // A double click on the port pane opens the dialog only while commands are allowed.
    {
        DialogDriver cancelOnly([](CommSettingsDialog& d) { d.cancelButton()->click(); });
        frame->lockMenu(CMainFrame::kLockReading);
        emit frame->colorStatusBar()->paneDoubleClicked(3);
        settle(50);
        EXPECT_EQ(cancelOnly.dialogsSeen(), 0);
        frame->lockMenu(CMainFrame::kUnlock);
        emit frame->colorStatusBar()->paneDoubleClicked(3);
        EXPECT_EQ(cancelOnly.dialogsSeen(), 1);
        EXPECT_EQ(frame->infoBar()->fieldText(0), "40");  // unchanged: nothing reread
        EXPECT_TRUE(app.model().working().pageEdited[3]);
    }

    DialogDriver driver([](CommSettingsDialog& d) {
        d.portButton(1)->click();
        emit d.unitList()->activated(12);
        d.okButton()->click();
    });
    command->trigger();
    EXPECT_EQ(driver.dialogsSeen(), 1);
    EXPECT_FALSE(app.ending());
    EXPECT_FALSE(app.state().settingsDialogOpen);
    // Everything was read again from the other controller.
    EXPECT_EQ(frame->infoBar()->fieldText(0), "24");
    EXPECT_FALSE(app.model().working().pageEdited[3]);
    EXPECT_EQ(app.model().working().general.jointNum, 1);
    frame->refreshStatusPanes();
    EXPECT_EQ(frame->colorStatusBar()->pane(2)->text(), "１２号機");
    EXPECT_EQ(frame->colorStatusBar()->pane(3)->text(), "COM2 9600bps");
    EXPECT_EQ(frame->colorStatusBar()->pane(1)->text(), "接続");
    const QString ini = iniText();
    EXPECT_TRUE(ini.contains("[COM2_SETTING]\r\nPort=1\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Machine=12"));
    EXPECT_TRUE(ini.contains("ActiveMachine=12"));
    app.shutdown();
}

TEST_F(CommApp, TheStatusBarShowsTheDeviceServerAPortLeadsTo) {
    SimProcess sim({"--listen", "0", "--sensors", "40"});
    ASSERT_TRUE(deviceOf(sim).startsWith("tcp:"));
    setPort(1, deviceOf(sim));
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    CMainFrame* frame = app.mainFrame();
    EXPECT_EQ(frame->infoBar()->fieldText(0), "40");
    frame->refreshStatusPanes();
    EXPECT_EQ(frame->colorStatusBar()->pane(3)->text(), "COM1 " + deviceOf(sim));
    EXPECT_TRUE(frame->colorStatusBar()->pane(3)->toolTip().startsWith(deviceOf(sim) + "\n"));
    app.shutdown();
}

TEST_F(CommApp, TheReadAfterAnotherPortRunsUnderTheWaitWindowAndKeysStartNothing) {
    setPort(1, "sim:--sensors 40,32");
    // A line slow enough that the read is still running when the keys come.
    setPort(2, "sim:--sensors 8 --line-rate 115200");
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    CMainFrame* frame = app.mainFrame();
    QApplication::setActiveWindow(frame);
    int manualsOpened = 0;
    frame->setUrlOpener([&](const QUrl&) {
        ++manualsOpened;
        return true;
    });

    // Once the dialog has closed and the read runs: what the frame looks like, and the keys
    // of the menus pressed where the keyboard is.
    bool waitWindowSeen = false;
    bool treeEnabled = true;
    bool anyMenuEnabled = true;
    bool pressed = false;
    int dialogsOpened = 0;
    int commDialogsSeen = 0;
    // A dialog a key opened is counted and closed (by a timer of its own: the probe's
    // does not fire while the probe itself waits in that dialog).
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if ((qobject_cast<CBankImportDlg*>(w) != nullptr ||
                 qobject_cast<CBankExportDlg*>(w) != nullptr) &&
                w->isVisible()) {
                ++dialogsOpened;
                static_cast<QDialog*>(w)->reject();
            }
        }
    });
    closer.start();
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        bool commDialogOpen = false;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<CommSettingsDialog*>(w) != nullptr && w->isVisible()) {
                commDialogOpen = true;
                commDialogsSeen = 1;
            }
        }
        // The new controller's read has begun once the old one's 40 beams are gone.
        if (pressed || commDialogOpen || commDialogsSeen == 0 ||
            app.model().working().channel(0).beamCount == 40) {
            return;
        }
        CInitialReadDlg* wait = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<CInitialReadDlg*>(w); d != nullptr && d->isVisible()) {
                wait = d;
            }
        }
        if (wait != nullptr && wait->progressBar()->value() <= 0) {
            return;  // shown, but not reading yet
        }
        waitWindowSeen = wait != nullptr;
        treeEnabled = frame->tree()->isEnabled();
        anyMenuEnabled = false;
        for (QAction* top : frame->menuBar()->actions()) {
            anyMenuEnabled = anyMenuEnabled || top->isEnabled();
        }
        pressed = true;
        // With nothing modal up, the keyboard is back with the main window.
        if (QApplication::activeModalWidget() == nullptr) {
            QApplication::setActiveWindow(frame);
        }
        QWindow* keyboard = QGuiApplication::focusWindow() != nullptr
                                ? QGuiApplication::focusWindow()
                                : frame->windowHandle();
        for (Qt::Key key : {Qt::Key_O, Qt::Key_S, Qt::Key_U, Qt::Key_H, Qt::Key_Q}) {
            QTest::keyClick(keyboard, key, Qt::ControlModifier);
            QTest::keyClick(frame->windowHandle(), key, Qt::ControlModifier);
        }
    });
    DialogDriver driver([](CommSettingsDialog& d) {
        d.portButton(1)->click();
        d.okButton()->click();
    });
    probe.start();
    frame->action(kCmdCommSettings)->trigger();
    probe.stop();

    EXPECT_EQ(driver.dialogsSeen(), 1);
    ASSERT_TRUE(pressed);
    EXPECT_TRUE(waitWindowSeen);
    EXPECT_FALSE(treeEnabled);
    EXPECT_FALSE(anyMenuEnabled);
    EXPECT_EQ(dialogsOpened, 0);
    EXPECT_EQ(manualsOpened, 0);
    EXPECT_TRUE(driver.texts().empty());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(app.ending());
    // Read, and the frame back to work.
    EXPECT_EQ(frame->infoBar()->fieldText(0), "8");
    EXPECT_TRUE(frame->tree()->isEnabled());
    EXPECT_TRUE(frame->commandsAllowed());
    for (QAction* top : frame->menuBar()->actions()) {
        EXPECT_TRUE(top->isEnabled()) << top->text().toStdString();
    }
    EXPECT_FALSE(frame->progressDialog()->isVisible());
    app.shutdown();
}

}  // namespace
}  // namespace qavix::test
