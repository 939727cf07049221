// Pictures of the plant window for the documentation: 20 controllers in several states,
// published as their monitors would (retained online and status, levels, an alert and an
// error entry) into Debian's mosquitto on a free loopback port, shown at the window's own
// size and at 1024 x 768.
//
//   plant_screenshots [--lang en] FOLDER
// --lang en takes them in English (docs/screenshots/en); Japanese otherwise.

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "BrokerProcess.h"
#include "MessageCatalogue.h"
#include "app/ProgramTranslations.h"
#include "broker/MqttClient.h"
#include "frame/PlantTableModel.h"
#include "frame/PlantWindow.h"
#include "model/ControllerError.h"
#include "telemetry/MonitorPayloads.h"
#include "telemetry/Publisher.h"

namespace {

using namespace qavix;
using Clock = std::chrono::steady_clock;

struct Controller {
    std::string name;
    telemetry::LineState line = telemetry::LineState::Ok;
    int state = 0;
    bool online = true;
    int dimPercent = 100;  // light of CH1's beam 7
    bool alert = false;
    bool error = false;
    std::string target;
    int age = 0;  // seconds since its last status
};

std::vector<Controller> twentyControllers() {
    std::vector<Controller> c;
    for (int i = 1; i <= 20; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, i <= 12 ? "press-%02d" : "line-%02d", i);
        Controller k;
        k.name = name;
        k.target = "tcp:10.1.0." + std::to_string(20 + i) + ":4001";
        c.push_back(k);
    }
    c[2].online = false;
    c[2].age = 340;
    c[5].line = telemetry::LineState::Busy;
    c[7].state = 2;
    c[9].dimPercent = 58;
    c[9].alert = true;
    c[11].line = telemetry::LineState::NoAnswer;
    c[13].state = 1;
    c[15].error = true;
    c[17].target = "/dev/ttyUSB0";
    c[18].online = false;
    c[18].line = telemetry::LineState::Lost;
    c[18].age = 7200;
    return c;
}

telemetry::OutMessage message(std::string topic, std::string payload, bool retain) {
    telemetry::OutMessage m;
    m.kind = telemetry::MessageKind::Status;
    m.topic = std::move(topic);
    m.payload = std::move(payload);
    m.qos = 1;
    m.retain = retain;
    return m;
}

std::vector<telemetry::OutMessage> messagesOf(const Controller& k, int index) {
    const std::time_t now = std::time(nullptr);
    std::vector<telemetry::OutMessage> out;
    telemetry::StatusReport r;
    r.time = now - k.age;
    r.name = k.name;
    r.port = "COM" + std::to_string(1 + index % 2);
    r.unit = index % 3;
    r.target = k.target;
    r.host = "press-pc";
    r.intervalSeconds = 10;
    r.line = k.line;
    if (k.line == telemetry::LineState::Ok) {
        r.state = k.state;
        r.beams = {40, 32};
        if (k.state == 2) {
            r.error = evaluateControllerError(0xA2);
        }
    } else {
        r.problem = k.line == telemetry::LineState::Busy ? "COM1 は使用中です" : "応答がありません";
    }
    out.push_back(message(telemetry::topic(k.name, "online"), k.online ? "true" : "false", true));
    out.push_back(message(telemetry::topic(k.name, "status"), telemetry::statusPayload(r), true));
    if (k.line != telemetry::LineState::Ok || !k.online) {
        return out;
    }
    for (int ch = 1; ch <= 2; ++ch) {
        std::vector<levels::BarView> bars(ch == 1 ? 40 : 32);
        for (size_t b = 0; b < bars.size(); ++b) {
            bars[b].ref = {ch - 1, static_cast<int>(b)};
            const int level = 95 + static_cast<int>((b * 7 + static_cast<size_t>(index) * 5) % 30);
            bars[b].value = ch == 1 && b == 6 ? level * k.dimPercent / 100 : level;
            bars[b].thresholds = {50, 40};
            bars[b].state = chart::BarState::Incident;
        }
        out.push_back(
            message(telemetry::topic(k.name, telemetry::levelsLeaf(ch)),
                    telemetry::levelsPayload(now, ch, bars, telemetry::sensorMargin(bars)), false));
    }
    if (k.alert) {
        telemetry::MarginAlert a;
        a.channel = 1;
        a.beam = 7;
        a.percent = 112.0;
        out.push_back(message(telemetry::topic(k.name, "alerts"),
                              telemetry::alertPayload(now - 95, a, 130.0, 3), false));
    }
    if (k.error) {
        out.push_back(message(
            telemetry::topic(k.name, "errors"),
            R"({"time":"2024-03-15T10:00:00+09:00","date":"2024-03-15T09:58:12",)"
            R"("date_text":"24/03/15 金 09:58:12","number":"C8","code":200,"text":"設定エラー",)"
            R"("serial":"1409012C"})",
            false));
    }
    return out;
}

void runFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // Japanese unless asked, whatever the desktop's locale: the pictures of the docs are.
    const std::string language = takeLanguageArgument(arguments).value_or(i18n::kSourceLanguage);
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: plant_screenshots [--lang en] FOLDER\n");
        return 64;
    }
    if (!i18n::useLanguage(language, i18n::catalogueFolder()) ||
        !useProgramTranslations(app, language)) {
        std::fprintf(stderr, "plant_screenshots: no translation into %s\n", language.c_str());
        return 2;
    }
    const QString folder = QString::fromStdString(arguments.front());
    char pattern[] = "/tmp/plant-shots-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    int exitCode = 0;
    {
        qavix::test::Broker broker(dir);
        if (!broker.start()) {
            std::fprintf(stderr, "plant_screenshots: mosquitto did not start\n");
            return 3;
        }
        PlantWindowServices services;
        services.settings.brokerUrl = "mqtt://127.0.0.1:" + std::to_string(broker.port());
        services.thisHost = "office-pc";
        auto* window = new PlantWindow(services);
        window->show();
        window->start();
        runFor(500);

        broker::MqttOptions o;
        o.broker.host = "127.0.0.1";
        o.broker.port = broker.port();
        o.clientId = broker::uniqueClientId("screenshots");
        broker::MqttClient client(o, broker::waitForSocket);
        std::string error;
        client.init(error);
        telemetry::Publisher publisher(client);
        client.attach(publisher);
        const auto controllers = twentyControllers();
        for (size_t i = 0; i < controllers.size(); ++i) {
            for (auto& m : messagesOf(controllers[i], static_cast<int>(i))) {
                publisher.publish(std::move(m));
            }
        }
        const auto until = Clock::now() + std::chrono::seconds(5);
        while ((!client.connected() || !publisher.idle()) && Clock::now() < until) {
            client.service(std::min(until, Clock::now() + std::chrono::milliseconds(50)));
            QApplication::processEvents();
        }
        runFor(1500);
        if (!window->grab().save(folder + "/plant-window.png")) {
            exitCode = 2;
        }
        window->resize(1024, 768);
        runFor(300);
        if (!window->grab().save(folder + "/plant-window-1024x768.png")) {
            exitCode = 2;
        }
        client.shutdown(std::chrono::milliseconds(500));
        delete window;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return exitCode;
}
