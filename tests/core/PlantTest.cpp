// The plant view's rules without a broker: where a topic belongs, the monitors' payloads as
// the view reads them, the rows they make, what needs a person, how names from the broker
// are shown, and whether this PC can open a controller.
#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "files/IsoTime.h"
#include "files/ProfileFile.h"
#include "plant/PlantHealth.h"
#include "plant/PlantReach.h"
#include "plant/PlantSettings.h"
#include "plant/PlantTable.h"
#include "plant/PlantText.h"
#include "plant/PlantTopics.h"
#include "telemetry/MonitorPayloads.h"

namespace qavix::plant {
namespace {

constexpr std::time_t kNow = 1710464400;  // 2024-03-15T01:00:00Z

broker::ReceivedMessage msg(const std::string& topic, const std::string& payload,
                            bool retained = false) {
    return {topic, payload, retained};
}

// A status as a monitor makes it, through the monitor's own payload code.
std::string status(const std::string& name, telemetry::LineState line = telemetry::LineState::Ok,
                   int state = 0, double interval = 10, std::time_t time = kNow,
                   const std::string& target = "tcp:192.0.2.40:4001",
                   const std::string& host = "press-pc") {
    telemetry::StatusReport r;
    r.time = time;
    r.name = name;
    r.port = "COM2";
    r.unit = 1;
    r.target = target;
    r.host = host;
    r.intervalSeconds = interval;
    r.line = line;
    if (line == telemetry::LineState::Ok) {
        r.state = state;
        r.beams = {40, 32};
    }
    return telemetry::statusPayload(r);
}

std::string alert(bool low, int channel = 1, double margin = 112.0) {
    telemetry::MarginAlert a;
    a.kind = low ? telemetry::MarginAlert::Kind::Low : telemetry::MarginAlert::Kind::Ok;
    a.channel = channel;
    a.beam = 5;
    a.percent = margin;
    return telemetry::alertPayload(kNow, a, 130.0, 3);
}

TEST(PlantTopics, NameAndLeafFromTheMonitorsTopics) {
    const auto levels = placeOfTopic("qavix", "qavix/line 7/levels/CH3");
    ASSERT_TRUE(levels);
    EXPECT_EQ(levels->name, "line 7");
    EXPECT_EQ(levels->leaf, Leaf::Levels);
    EXPECT_EQ(levels->channel, 3);
    EXPECT_EQ(placeOfTopic("plant/a", "plant/a/x/online")->leaf, Leaf::Online);
    for (const char* foreign :
         {"qavixx/a/status", "qavix/status", "qavix//status", "qavix/a/levels/CH4",
          "qavix/a/levels/CH0", "qavix/a/status/more", "other/a/status", "qavix/a/b/status"}) {
        EXPECT_FALSE(placeOfTopic("qavix", foreign)) << foreign;
    }
    EXPECT_EQ(plantSubscriptions("qavix").size(), 5u);
    EXPECT_FALSE(topicRootProblem("qavix/x").empty());
    EXPECT_FALSE(topicRootProblem("").empty());
}

TEST(PlantMessages, ReadWhatTheMonitorWritesAndRefuseOtherShapes) {
    std::string error;
    const auto s = parseStatus(status("line7", telemetry::LineState::Ok, 2), error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->time, kNow);
    EXPECT_EQ(s->port, "COM2");
    EXPECT_EQ(s->unit, 1);
    EXPECT_EQ(s->target, "tcp:192.0.2.40:4001");
    EXPECT_EQ(s->host, "press-pc");
    EXPECT_EQ(s->intervalSeconds, 10.0);
    EXPECT_EQ(s->stateCode, 2);
    ASSERT_EQ(s->sensors.size(), 2u);
    EXPECT_EQ(s->sensors[1].beams, 32);

    // The documented example of an older monitor: no target, host or interval.
    const auto old = parseStatus(
        R"({"time":"2024-03-15T10:00:00+09:00","name":"line7","port":"COM1","unit":0,"line":"ok",)"
        R"("problem":null,"state":"error","state_code":2,"state_text":"エラー状態",)"
        R"("error":{"number":"A2","code":162,"text":"相互干渉エラー","kind":"installation"},)"
        R"("sensors":[{"channel":1,"beams":40}],"read":"ok","read_error":null,)"
        R"("fingerprint":{"short":"3F2A-91C0"}})",
        error);
    ASSERT_TRUE(old) << error;
    EXPECT_EQ(old->time, kNow);
    EXPECT_TRUE(old->target.empty());
    EXPECT_FALSE(old->intervalSeconds);
    EXPECT_EQ(old->error->text, "相互干渉エラー");
    EXPECT_EQ(old->fingerprint, "3F2A-91C0");

    const auto margin = parseLevels(
        R"({"time":"2024-03-15T10:00:00+09:00","channel":1,"beams":3,"level":[120,45,0],)"
        R"("on":[50,50,50],"off":[40,40,40],"state":["incident","unstable","blanked"],)"
        R"("margin":{"percent":90.0,"beam":2}})",
        error);
    ASSERT_TRUE(margin) << error;
    EXPECT_TRUE(margin->known);
    EXPECT_EQ(margin->beam, 2);
    EXPECT_DOUBLE_EQ(margin->percent, 90.0);
    EXPECT_FALSE(parseLevels(R"({"channel":1,"margin":null})", error)->known);

    const auto a = parseAlert(alert(true), error);
    ASSERT_TRUE(a) << error;
    EXPECT_TRUE(a->low);
    EXPECT_EQ(a->beam, 5);

    for (const char* bad : {"", "{", "[]", R"({"line":"maybe","unit":0})",
                            R"({"line":"ok","unit":100})", R"({"line":"ok","unit":0,"port":7})",
                            R"({"line":"ok","unit":0,"sensors":[{"channel":4,"beams":1}]})",
                            R"({"line":"ok","unit":0,"sensors":[{},{},{},{}]})"}) {
        EXPECT_FALSE(parseStatus(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    EXPECT_FALSE(parseLevels(R"({"channel":1,"margin":{"percent":"x","beam":2}})", error));
    EXPECT_FALSE(parseAlert(R"({"alert":"dirty","channel":1,"beam":1,"margin":1})", error));
    EXPECT_FALSE(parseOnline("1", error));
    EXPECT_EQ(parseOnline("false", error), false);
}

TEST(PlantTable, RetainedMessagesTellThePastAndMarkNothing) {
    PlantTable table("qavix");
    std::vector<PlantEvent> events;
    EXPECT_TRUE(table.apply(msg("qavix/a/online", "true", true), kNow, &events));
    EXPECT_TRUE(table.apply(msg("qavix/a/status", status("a"), true), kNow + 60, &events));
    EXPECT_TRUE(table.apply(msg("qavix/b/online", "false", true), kNow, &events));
    EXPECT_TRUE(events.empty());
    ASSERT_EQ(table.rows().size(), 2u);
    // The age of a retained status is the age it names, not the moment it came.
    EXPECT_EQ(table.row("a")->lastSeen, kNow);
    EXPECT_EQ(table.row("b")->marks, 0u);
    EXPECT_FALSE(table.apply(msg("other/a/status", status("a")), kNow, &events));
    EXPECT_EQ(table.received(), 3u);
}

TEST(PlantTable, HappeningsMarkTheRowUntilAcknowledged) {
    PlantTable table("qavix");
    std::vector<PlantEvent> events;
    table.apply(msg("qavix/a/online", "true", true), kNow, &events);
    table.apply(msg("qavix/a/status", status("a"), true), kNow, &events);

    table.apply(msg("qavix/a/alerts", alert(true)), kNow + 1, &events);
    table.apply(msg("qavix/a/alerts", alert(true)), kNow + 2, &events);  // still low: once
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].mark, kMarkMarginLow);
    EXPECT_NE(events[0].detail.find("CH1"), std::string::npos);
    EXPECT_TRUE(table.row("a")->sensors[0].marginLow);

    table.apply(msg("qavix/a/errors",
                    R"({"time":"2024-03-15T10:00:00+09:00","date":null,"date_text":"02/12/05",)"
                    R"("number":"C8","code":200,"text":"設定エラー","serial":"1"})"),
                kNow + 3, &events);
    table.apply(msg("qavix/a/online", "false"), kNow + 4, &events);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].mark, kMarkNewError);
    EXPECT_EQ(events[2].mark, kMarkWentOffline);
    EXPECT_EQ(table.row("a")->marks, kMarkMarginLow | kMarkNewError | kMarkWentOffline);
    EXPECT_EQ(severityOf(*table.row("a"), kNow + 4), Severity::Offline);

    table.apply(msg("qavix/a/online", "true", true), kNow + 5, &events);
    table.apply(msg("qavix/a/alerts", alert(false)), kNow + 6, &events);
    // Back online with its alert cleared, it still needs a look until acknowledged.
    EXPECT_FALSE(table.row("a")->sensors[0].marginLow);
    EXPECT_EQ(severityOf(*table.row("a"), kNow + 6), Severity::Attention);
    EXPECT_TRUE(table.acknowledge("a"));
    EXPECT_EQ(severityOf(*table.row("a"), kNow + 6), Severity::Ok);
    EXPECT_FALSE(table.acknowledge("nobody"));
}

TEST(PlantTable, UnreadableMessagesAreCountedNeverApplied) {
    PlantTable table("qavix");
    table.apply(msg("qavix/a/status", status("a")), kNow);
    const auto before = table.row("a")->revision;
    EXPECT_FALSE(table.apply(msg("qavix/a/status", "{\"line\":\"ok\",\"unit\":\"x\"}"), kNow));
    EXPECT_FALSE(table.apply(msg("qavix/a/levels/CH2", R"({"channel":1,"margin":null})"), kNow));
    EXPECT_FALSE(table.apply(msg("qavix/a/online", std::string(kMaxPayloadBytes + 1, ' ')), kNow));
    EXPECT_FALSE(table.apply(msg("qavix/\x1b[2Jx/online", "yes"), kNow));
    EXPECT_EQ(table.skipped(), 4u);
    EXPECT_EQ(table.row("a")->revision, before);
    // The reason names the topic with its escape written out.
    EXPECT_NE(table.lastSkip().find("qavix/\\x1B[2Jx/online"), std::string::npos)
        << table.lastSkip();
    // A cleared retained message is no mistake.
    EXPECT_FALSE(table.apply(msg("qavix/a/status", "", true), kNow));
    EXPECT_EQ(table.skipped(), 4u);
}

TEST(PlantTable, AFloodOfNamesStopsAtTheLimit) {
    PlantTable table("qavix");
    for (size_t i = 0; i < kMaxPlantRows + 10; ++i) {
        table.apply(msg("qavix/c" + std::to_string(i) + "/online", "true"), kNow);
    }
    EXPECT_EQ(table.rows().size(), kMaxPlantRows);
    EXPECT_EQ(table.skipped(), 10u);
}

TEST(PlantHealth, SilentAfterThreeIntervalsOfItsOwn) {
    PlantTable table("qavix");
    table.apply(msg("qavix/a/online", "true"), kNow);
    table.apply(msg("qavix/a/status", status("a", telemetry::LineState::Ok, 0, 2.0)), kNow);
    const PlantRow& a = *table.row("a");
    // Three intervals of 2 s, and the second the times are rounded to.
    EXPECT_FALSE(isStale(a, kNow + 7));
    EXPECT_TRUE(isStale(a, kNow + 8));
    EXPECT_EQ(reasonsOf(a, kNow + 8), std::vector<Reason>{Reason::Stale});
    // A monitor that names no interval is taken at the monitor's default, 10 s.
    table.apply(
        msg("qavix/b/status", R"({"time":"2024-03-15T10:00:00+09:00","line":"ok","unit":0})", true),
        kNow + 100);
    EXPECT_FALSE(isStale(*table.row("b"), kNow + 31));
    EXPECT_TRUE(isStale(*table.row("b"), kNow + 32));
}

TEST(PlantHealth, WorstReasonFirstAndTheSummary) {
    PlantTable table("qavix");
    const auto add = [&](const std::string& name, const std::string& statusPayload,
                         const char* online = "true") {
        table.apply(msg("qavix/" + name + "/online", online, true), kNow);
        table.apply(msg("qavix/" + name + "/status", statusPayload, true), kNow);
    };
    add("ok", status("ok"));
    add("lost", status("lost", telemetry::LineState::Lost));
    add("busy", status("busy", telemetry::LineState::Busy));
    add("error", status("error", telemetry::LineState::Ok, 2));
    add("setting", status("setting", telemetry::LineState::Ok, 1));
    add("gone", status("gone"), "false");
    add("gone2", status("gone2", telemetry::LineState::Lost), "false");
    table.apply(msg("qavix/ok2/online", "true"), kNow);  // no status yet
    table.apply(msg("qavix/ok2/status", status("ok2")), kNow);
    table.apply(msg("qavix/ok2/alerts", alert(true, 2)), kNow);

    const auto& rows = table.rows();
    EXPECT_EQ(severityOf(rows.at("ok"), kNow), Severity::Ok);
    EXPECT_EQ(severityOf(rows.at("lost"), kNow), Severity::Fault);
    EXPECT_EQ(severityOf(rows.at("error"), kNow), Severity::Fault);
    EXPECT_EQ(severityOf(rows.at("busy"), kNow), Severity::Attention);
    EXPECT_EQ(severityOf(rows.at("setting"), kNow), Severity::Attention);
    EXPECT_EQ(reasonsOf(rows.at("gone2"), kNow),
              (std::vector<Reason>{Reason::Offline, Reason::LineLost}));
    EXPECT_EQ(reasonsText(rows.at("ok2"), kNow), "マージン低下 CH2");
    EXPECT_EQ(reasonsText(rows.at("ok"), kNow), "正常");

    const PlantSummary summary = summarize(rows, kNow);
    EXPECT_EQ(summaryText(summary), "8 台 / オフライン 2 / 注意 5");
    EXPECT_FALSE(summary.allWell());
    EXPECT_FALSE(PlantSummary{}.allWell());
}

TEST(PlantText, WhatComesFromTheBrokerCannotHideOrReorderItsNeighbours) {
    EXPECT_EQ(shownText("line7"), "line7");
    EXPECT_EQ(shownText("ライン\"7\""), "ライン\"7\"");
    EXPECT_EQ(shownText("a\x1b[31mb\n"), "a\\x1B[31mb\\x0A");
    EXPECT_EQ(shownText("abc\u202Edef\u2066"), "abc\\u202Edef\\u2066");
    EXPECT_EQ(shownText("\xC2\x9B"), "\\xC2\\x9B");
    EXPECT_EQ(shownText("\xFF"
                        "a"),
              "\\xFFa");
    const std::string longName(500, 'x');
    EXPECT_EQ(shownText(longName), std::string(kMaxShownCharacters, 'x') + "…");
    std::string kana;
    for (int i = 0; i < 200; ++i) {
        kana += "ア";
    }
    std::string cut;
    for (size_t i = 0; i < kMaxShownCharacters; ++i) {
        cut += "ア";
    }
    EXPECT_EQ(shownText(kana), cut + "…");

    EXPECT_EQ(ageText(std::nullopt, kNow), "—");
    EXPECT_EQ(ageText(kNow - 59, kNow), "59 秒前");
    EXPECT_EQ(ageText(kNow - 60, kNow), "1 分前");
    EXPECT_EQ(ageText(kNow - 7200, kNow), "2 時間前");
    EXPECT_EQ(ageText(kNow + 30, kNow), "0 秒前");  // a clock ahead of ours
}

TEST(PlantTime, ReadsTheTimesItWritesAndNothingElse) {
    EXPECT_EQ(parseIsoTime(isoLocalTime(kNow)), kNow);
    EXPECT_EQ(parseIsoTime("2024-03-15T10:00:00+09:00"), kNow);
    EXPECT_EQ(parseIsoTime("2024-03-14T20:30:00-04:30"), kNow);
    EXPECT_EQ(parseIsoTime("2024-03-15T01:00:00Z"), kNow);
    for (const char* bad :
         {"2024-03-15T10:00:00", "2024-03-15 10:00:00+09:00", "2024-13-15T10:00:00+09:00",
          "2024-03-15T10:00:00+0900", "2024-03-15T10:00:00+09:00x", "2024-03-15T1a:00:00Z", ""}) {
        EXPECT_FALSE(parseIsoTime(bad)) << bad;
    }
}

TEST(PlantReach, OpenableFromHereOnlyWhereThePortLeadsFromHere) {
    PlantTable table("qavix");
    const auto reach = [&](const std::string& target, const std::string& host, double interval,
                           const std::string& here) {
        table.apply(msg("qavix/r/status",
                        status("r", telemetry::LineState::Ok, 0, interval, kNow, target, host)),
                    kNow);
        return reachOf(*table.row("r"), here);
    };
    EXPECT_TRUE(reach("tcp:192.0.2.40:4001", "press-pc", 10, "office").possible());
    EXPECT_TRUE(reach("rfc2217:[2001:db8::1]:4001", "press-pc", 10, "office").possible());
    EXPECT_EQ(reach("tcp:127.0.0.1:4001", "press-pc", 10, "office").problem,
              ReachProblem::OtherMachine);
    EXPECT_TRUE(reach("tcp:127.0.0.1:4001", "office", 10, "office").possible());
    EXPECT_EQ(reach("/dev/ttyUSB0", "press-pc", 10, "office").problem, ReachProblem::OtherMachine);
    EXPECT_TRUE(reach("/dev/ttyUSB0", "office", 10, "office").possible());
    EXPECT_EQ(reach("sim", "office", 10, "office").problem, ReachProblem::EmulatorInMonitor);
    EXPECT_EQ(reach("", "office", 10, "office").problem, ReachProblem::NoTarget);
    EXPECT_EQ(reach("tcp:bad host:1", "office", 10, "office").problem, ReachProblem::BadTarget);

    const Reach held = reach("tcp:192.0.2.40:4001", "press-pc", 1, "office");
    EXPECT_TRUE(held.monitorHoldsPort);
    EXPECT_EQ(held.unit, 1);
    EXPECT_NE(busyPortText(held).find("5 秒"), std::string::npos);
    EXPECT_FALSE(reach("tcp:192.0.2.40:4001", "press-pc", 5, "office").monitorHoldsPort);
    const Reach other = reach("/dev/ttyUSB0", "press\x1b-pc", 10, "office");
    EXPECT_NE(reachProblemText(other, *table.row("r")).find("press\\x1B-pc"), std::string::npos);
    EXPECT_EQ(reachOf(PlantRow{}, "office").problem, ReachProblem::NoStatus);
}

TEST(PlantSettings, KeptInQavixIniWithoutThePassword) {
    test::TempDir dir;
    const std::string passwordFile = dir.file("broker.pw");
    std::ofstream(passwordFile) << "s3cret\n";
    PlantSettings s;
    s.brokerUrl = "mqtts://broker.example:8883";
    s.caFile = passwordFile;  // any readable file stands in for an authority here
    s.username = "viewer";
    s.passwordFile = passwordFile;
    s.topicRoot = "plant2";
    s.sound = true;
    ProfileFile profile;
    s.save(profile);
    EXPECT_EQ(profile.text().find("s3cret"), std::string::npos);
    const PlantSettings back = PlantSettings::load(ProfileFile::fromText(profile.text()));
    EXPECT_EQ(back.brokerUrl, s.brokerUrl);
    EXPECT_EQ(back.passwordFile, s.passwordFile);
    EXPECT_EQ(back.topicRoot, "plant2");
    EXPECT_TRUE(back.sound);

    std::string error;
    const auto options = plantBrokerOptions(back, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->password, "s3cret");
    EXPECT_EQ(options->subscriptions.front(), "plant2/+/online");
    EXPECT_TRUE(options->onlineTopic.empty());  // a viewer leaves no will

    PlantSettings bad = back;
    bad.brokerUrl = "mqtt://broker.example";  // an authority without TLS
    EXPECT_FALSE(plantSettingsProblem(bad).empty());
    bad = back;
    bad.username.clear();
    EXPECT_FALSE(plantSettingsProblem(bad).empty());
    bad = back;
    bad.passwordFile = dir.file("missing");
    EXPECT_FALSE(plantBrokerOptions(bad, error));
    bad = back;
    bad.topicRoot = "a/b";
    EXPECT_FALSE(plantSettingsProblem(bad).empty());
    EXPECT_TRUE(plantSettingsProblem(PlantSettings{}).empty());
    EXPECT_EQ(PlantSettings::load(ProfileFile{}).topicRoot, "qavix");
}

}  // namespace
}  // namespace qavix::plant
