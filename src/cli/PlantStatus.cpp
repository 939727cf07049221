#include "PlantStatus.h"

#include <algorithm>
#include <iostream>
#include <thread>
#include <vector>

#include "ExitCodes.h"
#include "PortSelection.h"
#include "ShiftJis.h"
#include "Translate.h"
#include "files/IsoTime.h"
#include "files/JsonWriter.h"
#include "files/ProfileFile.h"
#include "plant/PlantHealth.h"
#include "plant/PlantSettings.h"
#include "plant/PlantSubscriber.h"
#include "plant/PlantText.h"

namespace qavix::cli {

namespace {

using plant::PlantRow;
using Clock = broker::Clock;

// How long the broker may take to be reached and to take the subscription.
constexpr std::chrono::seconds kConnectWait{10};
// The retained messages come at once after the subscription: this long without one, all
// have come.
constexpr std::chrono::milliseconds kRetainedQuiet{300};

void say(const std::string& text) {
    std::cerr << i18n::fill(QX_("plant status: %1"), {text}) << '\n';
}

plant::PlantSettings settingsOf(const PlantStatusArgs& a) {
    std::string unreadable;
    plant::PlantSettings s =
        plant::PlantSettings::load(ProfileFile::loadSettings(kSettingsFileName, unreadable));
    if (!a.mqtt.empty()) {
        // A broker named here is named whole: nothing of Qavix.ini's login goes with it.
        const std::string root = s.topicRoot;
        s = plant::PlantSettings{};
        s.topicRoot = root;
        s.brokerUrl = a.mqtt;
        s.caFile = a.caFile;
        s.username = a.username;
        s.passwordFile = a.passwordFile;
    }
    if (!a.topicRoot.empty()) {
        s.topicRoot = a.topicRoot;
    }
    return s;
}

std::string marginsText(const PlantRow& row) {
    std::string text;
    const int sensors = row.status ? static_cast<int>(row.status->sensors.size()) : 0;
    for (int c = 0; c < plant::kPlantChannels; ++c) {
        const auto& sensor = row.sensors[static_cast<size_t>(c)];
        if (c >= sensors && !sensor.known) {
            continue;
        }
        text += (text.empty() ? "" : ", ") + plant::marginText(c + 1, sensor);
    }
    return text.empty() ? "—" : text;
}

std::string alertColumn(const PlantRow& row, std::time_t now) {
    if (!row.lastAlert) {
        return "—";
    }
    return plant::alertText(row.lastAlert->alert) + " " +
           plant::ageText(row.lastAlert->received, now);
}

std::string errorColumn(const PlantRow& row, std::time_t now) {
    if (!row.lastError) {
        return "—";
    }
    return plant::errorEntryText(row.lastError->entry) + " " +
           plant::ageText(row.lastError->received, now);
}

void printTable(const std::map<std::string, PlantRow>& rows, std::time_t now) {
    std::vector<std::vector<std::string>> table;
    table.push_back({QX_("状態"), QX_("名前"), QX_("理由"), QX_("マージン"), QX_("最終アラート"),
                     QX_("最新エラー"), QX_("最終受信"), QX_("ポート")});
    for (const auto& [name, row] : rows) {
        table.push_back({plant::severityText(plant::severityOf(row, now)), plant::shownText(name),
                         plant::reasonsText(row, now), marginsText(row), alertColumn(row, now),
                         errorColumn(row, now), plant::ageText(row.lastSeen, now),
                         row.status ? plant::portText(*row.status) : "—"});
    }
    std::vector<size_t> widths(table.front().size(), 0);
    for (const auto& line : table) {
        for (size_t c = 0; c < line.size(); ++c) {
            widths[c] = std::max(widths[c], sjis::byteWidth(line[c]));
        }
    }
    for (const auto& line : table) {
        std::string out;
        for (size_t c = 0; c < line.size(); ++c) {
            out += line[c];
            if (c + 1 < line.size()) {
                out.append(widths[c] - sjis::byteWidth(line[c]) + 2, ' ');
            }
        }
        std::cout << out << '\n';
    }
}

void writeAlert(json::Writer& j, const PlantRow& row) {
    j.key("last_alert");
    if (!row.lastAlert) {
        j.null();
        return;
    }
    const plant::AlertMessage& a = row.lastAlert->alert;
    j.beginObject();
    j.key("alert").value(a.low ? "margin-low" : "margin-ok");
    j.key("channel").value(a.channel);
    j.key("beam").value(a.beam);
    j.key("margin").value(a.margin);
    j.key("received").value(isoLocalTime(row.lastAlert->received));
    j.endObject();
}

void writeError(json::Writer& j, const PlantRow& row) {
    j.key("last_error");
    if (!row.lastError) {
        j.null();
        return;
    }
    const plant::ErrorEntryMessage& e = row.lastError->entry;
    j.beginObject();
    j.key("number").value(e.number);
    j.key("text").value(e.text);
    j.key("date_text").value(e.dateText);
    j.key("received").value(isoLocalTime(row.lastError->received));
    j.endObject();
}

void writeStatus(json::Writer& j, const PlantRow& row) {
    const plant::StatusMessage* s = row.status ? &*row.status : nullptr;
    j.key("line");
    s ? j.value(telemetry::lineStateName(s->line)) : j.null();
    j.key("state_code");
    s && s->stateCode ? j.value(*s->stateCode) : j.null();
    j.key("state_text");
    s && !s->stateText.empty() ? j.value(s->stateText) : j.null();
    j.key("error");
    if (s && s->error) {
        j.beginObject().key("number").value(s->error->number).key("text").value(s->error->text);
        j.endObject();
    } else {
        j.null();
    }
    j.key("port");
    s ? j.value(s->port) : j.null();
    j.key("unit");
    s ? j.value(s->unit) : j.null();
    j.key("target");
    s && !s->target.empty() ? j.value(s->target) : j.null();
    j.key("host");
    s && !s->host.empty() ? j.value(s->host) : j.null();
    j.key("fingerprint");
    s && !s->fingerprint.empty() ? j.value(s->fingerprint) : j.null();
}

void writeRow(json::Writer& j, const PlantRow& row, std::time_t now) {
    j.beginObject();
    j.key("name").value(row.name);
    const plant::Severity severity = plant::severityOf(row, now);
    j.key("severity").value(plant::severityName(severity));
    j.key("severity_text").value(plant::severityText(severity));
    j.key("reasons").beginArray();
    for (const plant::Reason r : plant::reasonsOf(row, now)) {
        j.value(plant::reasonText(r, row));
    }
    j.endArray();
    j.key("online");
    row.online ? j.value(*row.online) : j.null();
    writeStatus(j, row);
    j.key("sensors").beginArray();
    for (int c = 0; c < plant::kPlantChannels; ++c) {
        const auto& sensor = row.sensors[static_cast<size_t>(c)];
        if (!sensor.known && !sensor.marginLow) {
            continue;
        }
        j.beginObject().key("channel").value(c + 1).key("margin");
        if (sensor.margin) {
            j.beginObject().key("percent").value(sensor.margin->percent);
            j.key("beam").value(sensor.margin->beam).endObject();
        } else {
            j.null();
        }
        j.key("margin_low").value(sensor.marginLow).endObject();
    }
    j.endArray();
    writeAlert(j, row);
    writeError(j, row);
    j.key("last_seen");
    row.lastSeen ? j.value(isoLocalTime(*row.lastSeen)) : j.null();
    j.key("stale").value(plant::isStale(row, now));
    j.endObject();
}

void printJson(const std::string& broker, const std::string& root,
               const std::map<std::string, PlantRow>& rows, std::uint64_t skipped,
               std::time_t now) {
    const plant::PlantSummary summary = plant::summarize(rows, now);
    json::Writer j;
    j.beginObject();
    j.key("broker").value(broker);
    j.key("root").value(root);
    j.key("time").value(isoLocalTime(now));
    j.key("summary").beginObject();
    j.key("controllers").value(summary.controllers);
    j.key("offline").value(summary.offline);
    j.key("attention").value(summary.attention);
    j.key("text").value(plant::summaryText(summary));
    j.endObject();
    j.key("skipped").value(static_cast<std::uint64_t>(skipped));
    j.key("controllers").beginArray();
    for (const auto& [name, row] : rows) {
        writeRow(j, row, now);
    }
    j.endArray();
    j.endObject();
    std::cout << j.text() << '\n';
}

}  // namespace

int runPlantStatus(const PlantStatusArgs& a) {
    const plant::PlantSettings settings = settingsOf(a);
    std::string error;
    if (settings.brokerUrl.empty()) {
        say(
            QX_("--mqtt mqtt://HOST[:PORT] を指定してください（または Qavix.ini の [Plant] "
                "BrokerUrl を設定してください）"));
        return kExitUsage;
    }
    const auto options = plant::plantBrokerOptions(settings, error);
    if (!options) {
        say(error);
        return kExitUsage;
    }
    plant::PlantSubscriber subscriber(*options, settings.topicRoot);
    if (!subscriber.start(error)) {
        say(error);
        return kExitConnection;
    }
    const bool subscribed =
        subscriber.waitForRetained(Clock::now() + kConnectWait, kRetainedQuiet, true);
    if (!subscribed) {
        const broker::BrokerState state = subscriber.connection().state;
        say(i18n::fill(
            QX_("ブローカー %1: %2"),
            {settings.brokerUrl,
             state.reason.empty() ? std::string(QX_("応答がありません")) : state.reason}));
        return kExitConnection;
    }
    if (a.waitSeconds > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(a.waitSeconds));
    }
    subscriber.stop();
    const std::map<std::string, PlantRow> rows = subscriber.rows();
    const std::time_t now = std::time(nullptr);
    if (a.json) {
        printJson(settings.brokerUrl, settings.topicRoot, rows, subscriber.skipped(), now);
    } else {
        printTable(rows, now);
        std::cout << plant::summaryText(plant::summarize(rows, now)) << '\n';
    }
    if (subscriber.skipped() > 0) {
        say(i18n::fill(
            QXN_("%1 件のメッセージを読めませんでした。最後のもの: %2",
                 "%1 件のメッセージを読めませんでした。最後のもの: %2", subscriber.skipped()),
            {std::to_string(subscriber.skipped()), subscriber.lastSkip()}));
    }
    if (rows.empty()) {
        say(i18n::fill(QX_("%1/ の下に送信しているモニターがありません"),
                       {plant::shownText(settings.topicRoot)}));
        return kExitFailed;
    }
    return plant::summarize(rows, now).allWell() ? kExitOk : kExitFailed;
}

}  // namespace qavix::cli
