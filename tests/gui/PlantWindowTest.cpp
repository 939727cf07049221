// The plant window against Debian's mosquitto, real monitors and emulators on TCP ports, and a
// notification server on a private D-Bus session bus; its table, filters and settings tab
// without a broker. Every process a test starts is stopped when the test ends.

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdint>
#include <fstream>

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "AppRunSupport.h"
#include "BrokerProcess.h"
#include "CtlProcess.h"
#include "FileText.h"
#include "GuiTestSupport.h"
#include "SimProcess.h"
#include "frame/DesktopNotifier.h"
#include "frame/EnvironmentDialog.h"
#include "frame/PlantFilterProxy.h"
#include "frame/PlantSettingsPage.h"
#include "frame/PlantTableModel.h"
#include "frame/PlantWindow.h"
#include "plant/PlantHealth.h"
#include "telemetry/MonitorPayloads.h"
#include "widgets/CColorStatusBar.h"

namespace qavix::test {
namespace {

constexpr int kWaitMs = 15000;

// A notification server of the test's own, on a private session bus that the test starts
// and stops: it records what the program asks it to show.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    QStringList summaries;

  public slots:
    uint Notify(const QString& /*app*/, uint /*replaces*/, const QString& /*icon*/,
                const QString& summary, const QString& /*body*/, const QStringList& /*actions*/,
                const QVariantMap& /*hints*/, int /*timeout*/) {
        summaries << summary;
        return static_cast<uint>(summaries.size());
    }
    QStringList GetCapabilities() { return {"body"}; }
};

class PrivateBus {
  public:
    PrivateBus() {
        m_daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000)) {
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        }
    }
    ~PrivateBus() {
        QDBusConnection::disconnectFromBus("plant-server");
        QDBusConnection::disconnectFromBus("plant-client");
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }
    bool serve(NotificationServer& server) {
        QDBusConnection bus = QDBusConnection::connectToBus(m_address, "plant-server");
        return bus.isConnected() && bus.registerService(DesktopNotifier::kService) &&
               bus.registerObject(DesktopNotifier::kPath, &server, QDBusConnection::ExportAllSlots);
    }
    QDBusConnection client() const {
        return QDBusConnection::connectToBus(m_address, "plant-client");
    }

  private:
    QProcess m_daemon;
    QString m_address;
};

// qavix-sim serving a controller of 16 beams on a free loopback TCP port.
std::unique_ptr<SimProcess> tcpSim(const std::string& log, const std::string& scenario = {}) {
    std::vector<std::string> options{"--listen", "0", "--sensors", "16", "--log", log};
    if (!scenario.empty()) {
        options.insert(options.end(), {"--scenario", scenario});
    }
    return std::make_unique<SimProcess>(options);
}

class PlantRun : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        broker = std::make_unique<Broker>(path(""));
        ASSERT_TRUE(broker->start());
    }
    std::string path(const std::string& name) const {
        return file(QString::fromStdString(name)).toStdString();
    }
    std::string url() const { return "mqtt://127.0.0.1:" + std::to_string(broker->port()); }
    std::unique_ptr<CtlChild> monitor(const std::string& name, const std::string& target,
                                      std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"monitor",  "--mqtt",       url(),
                                      "--device", target,         "--name",
                                      name,       "--state-file", path(name + ".state")};
        args.insert(args.end(), extra.begin(), extra.end());
        return std::make_unique<CtlChild>(
            CtlEnv{dirPath().toStdString(), {}, 0, path(name + ".out"), path(name + ".err")}, args);
    }

    std::unique_ptr<Broker> broker;
};

const plant::PlantRow* rowNamed(PlantWindow* w, const std::string& name) {
    const int at = w->model()->rowOfName(name);
    return at < 0 ? nullptr : &w->model()->plantRow(at);
}

plant::Severity severityOf(PlantWindow* w, const std::string& name) {
    return plant::severityOf(*rowNamed(w, name), std::time(nullptr));
}

int viewRowOf(PlantWindow* w, const std::string& name) {
    for (int r = 0; r < w->proxy()->rowCount(); ++r) {
        if (w->proxy()->index(r, PlantTableModel::kColName).data().toString() ==
            QString::fromStdString(name)) {
            return r;
        }
    }
    return -1;
}

TEST_F(PlantRun, ThreeMonitorsOfflineAlertNotificationAndOpening) {
    PrivateBus bus;
    NotificationServer server;
    ASSERT_TRUE(bus.serve(server));

    const std::string logA = path("a.log");
    const auto simA = tcpSim(logA);
    const auto simB = tcpSim(path("b.log"));
    // Beam 5 of CH1 gets half the light from the start: its margin stays under the default
    // limit of 130 %. The others' limit is well under the emulator's margins, which stray
    // around the default.
    const std::string scenario = path("dim.ini");
    std::ofstream(scenario) << "[events]\n0 = light CH1:5 50\n";
    const auto simC = tcpSim(path("c.log"), scenario);
    ASSERT_FALSE(simA->device().empty());
    ASSERT_FALSE(simC->device().empty());
    // A's monitor gives the port up between its reads, so the program can take it.
    auto monA = monitor("press-1", simA->device(), {"--interval", "5", "--warn-margin", "60"});
    auto monB = monitor("press-2", simB->device(), {"--interval", "0.25", "--warn-margin", "60"});

    setPort(1, "sim");
    CQavixApp app(options());
    ASSERT_TRUE(app.start());
    PlantLauncher& launcher = app.mainFrame()->plant();
    launcher.useNotifier(std::make_unique<DesktopNotifier>(bus.client()));
    PlantWindow* w = launcher.open(QString::fromStdString(url()));
    ASSERT_NE(w, nullptr);
    QStringList boxes;
    w->setMessageShower([&](const QString&, const QString& text) { boxes << text; });

    ASSERT_TRUE(waitUntil(
        [&] {
            const auto* a = rowNamed(w, "press-1");
            const auto* b = rowNamed(w, "press-2");
            return a && b && a->status && b->status && a->online == true && b->online == true;
        },
        kWaitMs))
        << w->connectionLabel()->text().toStdString();
    const plant::PlantRow& a = *rowNamed(w, "press-1");
    EXPECT_EQ(a.status->target, simA->device());
    EXPECT_EQ(a.status->unit, 0);
    EXPECT_EQ(a.status->line, telemetry::LineState::Ok);
    ASSERT_EQ(a.status->sensors.size(), 1u);
    EXPECT_EQ(a.status->sensors[0].beams, 16);
    EXPECT_EQ(severityOf(w, "press-2"), plant::Severity::Ok);
    EXPECT_TRUE(w->connectionLabel()->text().contains("接続中"));

    // The third monitor starts while the window watches: its alert is news.
    auto monC = monitor("line7", simC->device(), {"--interval", "0.25"});
    ASSERT_TRUE(waitUntil(
        [&] {
            // The alert and the levels that show the low margin are separate messages;
            // either may be shown first.
            const auto* c = rowNamed(w, "line7");
            return c && c->sensors[0].marginLow && c->sensors[0].margin &&
                   c->sensors[0].margin->percent < 130.0;
        },
        kWaitMs))
        << readBytes(path("line7.err"));
    EXPECT_EQ(severityOf(w, "line7"), plant::Severity::Attention);
    EXPECT_EQ(w->model()->rowCount(), 3);
    const QModelIndex severityCell = w->proxy()->index(viewRowOf(w, "line7"), 0);
    EXPECT_EQ(severityCell.data().toString(), "注意");
    EXPECT_EQ(severityCell.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 241, 184));

    // SIGKILL: the broker says the monitor's last will as its connection breaks.
    monB->signal(SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return rowNamed(w, "press-2")->online == false; }, kWaitMs));
    EXPECT_EQ(severityOf(w, "press-2"), plant::Severity::Offline);
    EXPECT_TRUE(w->windowTitle().endsWith("3 台 / オフライン 1 / 注意 1"))
        << w->windowTitle().toStdString();
    ASSERT_TRUE(waitUntil([&] { return server.summaries.size() >= 2; }, kWaitMs));
    // A few more of line7's messages: the alert stands, and nothing more is said of it.
    const std::uint64_t heard = rowNamed(w, "line7")->revision;
    ASSERT_TRUE(waitUntil([&] { return rowNamed(w, "line7")->revision >= heard + 4; }, kWaitMs));
    EXPECT_EQ(server.summaries.filter("line7: マージン低下").size(), 1)
        << server.summaries.join("|").toStdString();
    EXPECT_EQ(server.summaries.filter("press-2 がオフラインになりました").size(), 1);

    // Problems only: the well row goes; a text finds one row.
    w->problemsOnlyBox()->setChecked(true);
    EXPECT_EQ(w->proxy()->rowCount(), 2);
    EXPECT_EQ(viewRowOf(w, "press-1"), -1);
    w->problemsOnlyBox()->setChecked(false);
    w->filterEdit()->setText("line");
    EXPECT_EQ(w->proxy()->rowCount(), 1);
    w->filterEdit()->clear();

    // Enter on press-1: its status names tcp:127.0.0.1:PORT, which the main window opens.
    const int linesBefore = lineCount(QString::fromStdString(logA));
    w->view()->setCurrentIndex(w->proxy()->index(viewRowOf(w, "press-1"), 0));
    ModalAnswerer answerer;
    QTest::keyClick(w->view(), Qt::Key_Return);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join("|").toStdString();
    EXPECT_TRUE(app.connected());
    EXPECT_TRUE(app.state().dataReady);
    // The initial read went to A's emulator: far more requests than a monitor's cycle.
    EXPECT_GT(lineCount(QString::fromStdString(logA)) - linesBefore, 100);
    EXPECT_TRUE(app.mainFrame()->colorStatusBar()->pane(3)->toolTip().contains(
        QString::fromStdString(simA->device())))
        << app.mainFrame()->colorStatusBar()->pane(3)->toolTip().toStdString();
    app.shutdown();
    // Qavix.ini keeps its own port: the monitor's target was for this run only.
    EXPECT_FALSE(iniText().contains(QString::fromStdString(simA->device())));
}

TEST_F(PlantRun, ABrokerAwaySaysWhyAndGreysTheRows) {
    PlantWindowServices services;
    services.settings.brokerUrl = url();
    auto w = std::make_unique<PlantWindow>(services);
    w->start();
    ASSERT_EQ(runProcess({"mosquitto_pub", "-h", "127.0.0.1", "-p", std::to_string(broker->port()),
                          "-r", "-t", "qavix/x/online", "-m", "true"},
                         {}, std::chrono::milliseconds(kWaitMs))
                  .exitCode,
              0);
    ASSERT_TRUE(waitUntil([&] { return w->model()->rowCount() == 1; }, kWaitMs));
    const QModelIndex cell = w->model()->index(0, PlantTableModel::kColName);
    EXPECT_FALSE(cell.data(Qt::ForegroundRole).isValid());

    broker->stop();
    ASSERT_TRUE(waitUntil([&] { return !w->model()->live(); }, kWaitMs));
    EXPECT_EQ(cell.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(128, 128, 128));
    EXPECT_TRUE(w->connectionLabel()->text().contains("接続が切れました"))
        << w->connectionLabel()->text().toStdString();
    EXPECT_TRUE(
        waitUntil([&] { return w->connectionLabel()->text().contains("接続できません"); }, kWaitMs))
        << w->connectionLabel()->text().toStdString();
    // The row stays, with what was last known.
    EXPECT_EQ(w->model()->rowCount(), 1);

    ASSERT_TRUE(broker->start());
    EXPECT_TRUE(waitUntil([&] { return w->model()->live(); }, kWaitMs))
        << w->connectionLabel()->text().toStdString();
}

TEST(PlantWindow, NoBrokerSetUpNoMonitorsAndNoNotificationService) {
    PlantWindowServices services;
    PlantWindow unset(services);
    unset.start();
    EXPECT_TRUE(unset.connectionLabel()->text().contains("ブローカーが設定されていません"));
    EXPECT_EQ(unset.windowTitle(), "プラント表示 - 0 台 / オフライン 0 / 注意 0");

    // A desktop without a session bus gets nothing, and nothing fails.
    DesktopNotifier none(QDBusConnection("no-such-bus"));
    none.notify("a", "b", true, true);
    EXPECT_EQ(none.sent(), 0);
}

TEST(PlantWindow, EveryControlCarriesItsLabelAndTheTableItsCells) {
    PlantWindow w(PlantWindowServices{});
    const QString names[] = {w.problemsOnlyBox()->accessibleName().isEmpty()
                                 ? w.problemsOnlyBox()->text()
                                 : w.problemsOnlyBox()->accessibleName(),
                             w.filterEdit()->accessibleName(), w.view()->accessibleName()};
    for (const QString& n : names) {
        EXPECT_FALSE(n.isEmpty());
    }
    EXPECT_EQ(w.filterEdit()->accessibleName(), "検索");
    EXPECT_EQ(w.view()->model()->columnCount(), PlantTableModel::kColumnCount);
    EXPECT_EQ(w.view()->model()->headerData(0, Qt::Horizontal).toString(), "状態");
    EXPECT_EQ(w.view()->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

TEST(PlantWindow, EnvironmentTabKeepsTheBrokerAndRefusesWhatCannotBeUsed) {
    AppSettings user;
    plant::PlantSettings plantSettings;
    EnvironmentDialog dialog(user, nullptr, &plantSettings);
    ASSERT_NE(dialog.plantPage(), nullptr);
    EXPECT_EQ(dialog.tabs()->count(), 4);
    EXPECT_EQ(dialog.tabs()->tabText(3), "プラント");
    PlantSettingsPage* page = dialog.plantPage();
    EXPECT_EQ(page->urlEdit()->accessibleName(), "ブローカー URL");
    EXPECT_EQ(page->rootEdit()->text(), "qavix");

    page->urlEdit()->setText("http://broker");
    ModalAnswerer answerer;
    dialog.confirm();
    EXPECT_EQ(answerer.texts().size(), 1u);
    EXPECT_TRUE(plantSettings.brokerUrl.empty());
    EXPECT_EQ(dialog.tabs()->currentWidget(), page);

    page->urlEdit()->setText("mqtt://broker.plant:1883");
    page->userEdit()->setText("viewer");
    page->soundBox()->setChecked(true);
    dialog.confirm();
    EXPECT_EQ(plantSettings.brokerUrl, "mqtt://broker.plant:1883");
    EXPECT_EQ(plantSettings.username, "viewer");
    EXPECT_TRUE(plantSettings.sound);
}

}  // namespace
}  // namespace qavix::test

#include "PlantWindowTest.moc"
