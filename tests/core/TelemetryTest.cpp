// The plant monitor's decisions without a broker or a controller: margins and alerts, the
// queue that waits for the broker, the back-off, the error-log watch and its state file,
// the broker address, the configuration file and the payloads.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>

#include "TempDir.h"
#include "files/FileIo.h"
#include "telemetry/Backoff.h"
#include "telemetry/BrokerUrl.h"
#include "telemetry/ErrorLogWatch.h"
#include "telemetry/MarginAlerts.h"
#include "telemetry/MonitorPayloads.h"
#include "telemetry/Publisher.h"

namespace qavix::telemetry {
namespace {

using chart::BarState;
using levels::BarView;
using std::chrono::milliseconds;

BarView bar(int beam, int value, int on, int off, BarState state) {
    BarView v;
    v.ref = {0, beam - 1};
    v.value = value;
    v.thresholds = {on, off};
    v.state = state;
    return v;
}

TEST(SensorMargin, LowestOfTheBeamsThatReceiveLight) {
    const std::vector<BarView> bars = {
        bar(1, 120, 50, 40, BarState::Incident), bar(2, 60, 50, 40, BarState::Incident),
        bar(3, 5, 50, 40, BarState::Blanked),    // dark on purpose
        bar(4, 10, 50, 40, BarState::Blocked),   // an object: interrupted, not dim
        bar(5, 90, 0, 0, BarState::Incident),    // no threshold, no margin
        bar(6, 45, 50, 40, BarState::Unstable),  // dimmest one that still counts
    };
    const SensorMargin m = sensorMargin(bars);
    ASSERT_TRUE(m.known);
    EXPECT_EQ(m.beam, 6);
    EXPECT_DOUBLE_EQ(m.percent, 90.0);
    EXPECT_TRUE(m.anyBlocked);
    EXPECT_FALSE(sensorMargin({bar(1, 5, 50, 40, BarState::Blanked)}).known);
}

SensorMargin margin(double percent, bool blocked = false) {
    SensorMargin m;
    m.known = true;
    m.beam = 7;
    m.percent = percent;
    m.anyBlocked = blocked;
    return m;
}

// One letter per cycle: L low, O ok, B ok but a beam blocked, U unknown; the expected
// output one letter per cycle: '-' nothing, 'L' margin-low, 'O' margin-ok.
std::string run(MarginAlerts& a, const std::string& cycles) {
    std::string out;
    for (char c : cycles) {
        SensorMargin m;
        if (c == 'L') {
            m = margin(110);
        } else if (c == 'O') {
            m = margin(180);
        } else if (c == 'B') {
            m = margin(180, true);
        }
        const auto alert = a.update(2, m);
        out += !alert ? '-' : alert->kind == MarginAlert::Kind::Low ? 'L' : 'O';
    }
    return out;
}

TEST(MarginAlerts, OneMessagePerChangeAfterTheCount) {
    struct Case {
        const char* cycles;
        const char* expected;
    };
    const Case cases[] = {
        {"LLLLLL", "--L---"},          // raised once, not every cycle
        {"LLOLLL", "-----L"},          // an ok cycle restarts the count
        {"LLLOOOLL", "--L--O--"},      // back after as many good cycles
        {"LLLOOLOOO", "--L-----O"},    // a low cycle restarts recovery
        {"LULUL", "----L"},            // unknown cycles neither count nor reset
        {"LLLBBBBOOO", "--L------O"},  // blocked beams: not called well meanwhile
        {"OOOOO", "-----"},
    };
    for (const Case& c : cases) {
        MarginAlerts a(130.0, 3);
        EXPECT_EQ(run(a, c.cycles), c.expected) << c.cycles;
    }
}

TEST(MarginAlerts, SensorsAreTrackedApartAndTheLimitIsExclusive) {
    MarginAlerts a(130.0, 1);
    EXPECT_FALSE(a.update(1, margin(130.0)));  // at the limit is fine
    const auto low = a.update(1, margin(129.9));
    ASSERT_TRUE(low);
    EXPECT_EQ(low->channel, 1);
    EXPECT_EQ(low->beam, 7);
    EXPECT_TRUE(a.alerting(1));
    EXPECT_FALSE(a.alerting(2));
    EXPECT_FALSE(a.update(4, margin(10)));  // no such sensor
}

OutMessage msg(MessageKind kind, const std::string& topic, const std::string& payload) {
    OutMessage m;
    m.kind = kind;
    m.topic = topic;
    m.payload = payload;
    m.qos = 1;
    return m;
}

std::string drain(PublishQueue& q) {
    std::string out;
    while (!q.empty()) {
        out += q.take().payload;
    }
    return out;
}

TEST(PublishQueue, DropsOldestLevelsFirstAndNeverAlertsOrErrors) {
    PublishQueue q(3);
    q.push(msg(MessageKind::Levels, "l", "1"));
    q.push(msg(MessageKind::Alert, "a", "A"));
    q.push(msg(MessageKind::Levels, "l", "2"));
    q.push(msg(MessageKind::Error, "e", "E"));  // full: level 1 goes
    EXPECT_EQ(q.dropped(), 1u);
    q.push(msg(MessageKind::Alert, "a", "B"));   // level 2 goes
    q.push(msg(MessageKind::Levels, "l", "3"));  // nothing to make room: dropped itself
    q.push(msg(MessageKind::Error, "e", "F"));   // kept past the capacity
    EXPECT_EQ(q.dropped(), 3u);
    EXPECT_EQ(drain(q), "AEBF");
}

TEST(PublishQueue, OnlyTheNewestStatusWaits) {
    PublishQueue q;
    q.push(msg(MessageKind::Status, "s", "s1"));
    q.push(msg(MessageKind::Alert, "a", "A"));
    q.push(msg(MessageKind::Status, "s", "s2"));
    q.push(msg(MessageKind::Status, "other", "x"));
    EXPECT_EQ(drain(q), "As2x");
}

class FakeBroker : public BrokerLink {
  public:
    bool connected() const override { return up; }
    Send send(const OutMessage& m, int& id, std::string& reason) override {
        if (busy) {
            return Send::Later;
        }
        if (m.payload == neverTaken) {
            reason = "too large";
            return Send::Refused;
        }
        sent.push_back(m.payload);
        id = ++lastId;
        return Send::Taken;
    }
    bool up = false;
    bool busy = false;
    std::string neverTaken;
    int lastId = 0;
    std::vector<std::string> sent;
};

TEST(Publisher, HoldsWhileAwayAndSendsInOrderWithinTheInFlightLimit) {
    FakeBroker broker;
    Publisher p(broker, 100, 2);
    std::vector<std::string> delivered;
    p.onDelivered([&](const OutMessage& m) { delivered.push_back(m.payload); });
    p.publish(msg(MessageKind::Alert, "a", "1"));
    p.publish(msg(MessageKind::Alert, "a", "2"));
    p.publish(msg(MessageKind::Error, "e", "3"));
    EXPECT_TRUE(broker.sent.empty());
    broker.up = true;
    p.pump();
    EXPECT_EQ(broker.sent, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(p.inFlight(), 2u);
    p.acknowledged(1);
    EXPECT_EQ(broker.sent, (std::vector<std::string>{"1", "2", "3"}));
    p.acknowledged(99);  // unknown ids change nothing
    p.acknowledged(2);
    p.acknowledged(3);
    EXPECT_EQ(delivered, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(p.idle());
    // A connection that cannot take a message keeps it queued.
    broker.busy = true;
    p.publish(msg(MessageKind::Alert, "a", "4"));
    EXPECT_EQ(p.queued(), 1u);
}

// A message the broker will never take (refused when handed over, or acknowledged with a
// refusal) is dropped and told once; what waits behind it goes on, and alerts and error
// entries lost so are counted apart.
TEST(Publisher, RefusedMessagesAreDroppedCountedAndDoNotHoldTheQueue) {
    FakeBroker broker;
    broker.up = true;
    broker.neverTaken = "huge";
    Publisher p(broker, 100, 5);
    std::vector<std::string> delivered;
    std::vector<std::string> refused;
    p.onDelivered([&](const OutMessage& m) { delivered.push_back(m.payload); });
    p.onRefused([&](const OutMessage& m, const std::string& why) {
        refused.push_back(m.payload + ":" + why);
    });
    p.publish(msg(MessageKind::Error, "e", "huge"));
    p.publish(msg(MessageKind::Alert, "a", "1"));
    p.publish(msg(MessageKind::Error, "e", "2"));
    p.publish(msg(MessageKind::Levels, "l", "3"));
    EXPECT_EQ(broker.sent, (std::vector<std::string>{"1", "2", "3"}));
    p.refused(1, "not authorized");
    p.acknowledged(2);
    p.refused(3, "quota");
    p.refused(2, "late");  // already settled: changes nothing
    EXPECT_EQ(delivered, (std::vector<std::string>{"2"}));
    EXPECT_EQ(refused, (std::vector<std::string>{"huge:too large", "1:not authorized", "3:quota"}));
    EXPECT_TRUE(p.idle());
    const DeliveryCounters c = p.counters();
    EXPECT_EQ(c.refused, 3u);
    EXPECT_EQ(c.alertsLost, 1u);
    EXPECT_EQ(c.errorsLost, 1u);
    EXPECT_EQ(c.levelsDropped, 0u);
}

TEST(Backoff, DoublesToTheLongestAndStartsOverAfterSuccess) {
    Backoff b(milliseconds(1000), milliseconds(5000));
    EXPECT_EQ(b.next().count(), 1000);
    EXPECT_EQ(b.next().count(), 2000);
    EXPECT_EQ(b.next().count(), 4000);
    EXPECT_EQ(b.next().count(), 5000);
    EXPECT_EQ(b.next().count(), 5000);
    b.reset();
    EXPECT_EQ(b.next().count(), 1000);
    Backoff flat(milliseconds(3000), milliseconds(1000));  // longest below first: first
    EXPECT_EQ(flat.next().count(), 3000);
    EXPECT_EQ(flat.next().count(), 3000);
}

ErrorHistoryEntry entry(int day, int hour, const char* code) {
    ErrorHistoryEntry e;
    e.year = 24;
    e.month = 3;
    e.day = day;
    e.hour = hour;
    e.codeText = code;
    e.serialText = "140A0001";
    return e;
}

using History = std::array<ErrorHistoryEntry, kErrorHistoryCount>;

History historyOf(std::initializer_list<ErrorHistoryEntry> newestFirst) {
    History h{};
    size_t i = 0;
    for (const auto& e : newestFirst) {
        h[i++] = e;
    }
    return h;
}

TEST(ErrorLogWatch, FirstLookRemembersThenNewEntriesOldestFirst) {
    ErrorLogWatch w;
    const auto a = entry(1, 10, "C8");
    const auto b = entry(2, 11, "A2");
    const auto c = entry(3, 12, "35");
    EXPECT_TRUE(w.look(historyOf({a})).empty());
    EXPECT_EQ(*w.last(), errorEntryKey(a));
    EXPECT_EQ(w.look(historyOf({c, b, a})), (std::vector<int>{1, 0}));
    EXPECT_TRUE(w.look(historyOf({c, b, a})).empty());
    // A failed read that left the table empty forgets nothing.
    EXPECT_TRUE(w.look(History{}).empty());
    EXPECT_EQ(*w.last(), errorEntryKey(c));
}

TEST(ErrorLogWatch, RestoredStateAndEntriesGoneFromTheLog) {
    const auto a = entry(1, 10, "C8");
    const auto b = entry(2, 11, "A2");
    const auto c = entry(3, 12, "35");
    ErrorLogWatch restarted;
    restarted.restore(errorEntryKey(b));
    EXPECT_EQ(restarted.look(historyOf({c, b, a})), (std::vector<int>{0}));
    // More than twenty since: the remembered one is gone, the later-dated ones are new.
    ErrorLogWatch behind;
    behind.restore(errorEntryKey(entry(2, 0, "C8")));
    EXPECT_EQ(behind.look(historyOf({c, b, a})), (std::vector<int>{1, 0}));
    // The log was empty last time: everything in it now is new.
    ErrorLogWatch empty;
    empty.restore(std::string());
    EXPECT_EQ(empty.look(historyOf({b, a})), (std::vector<int>{1, 0}));
}

// Several errors of one second, after the remembered entry has left the log (it was cleared,
// or rewritten): the unseen ones of that second are news, the seen ones are not.
TEST(ErrorLogWatch, SameSecondEntriesAreNeitherSkippedNorRepeatedWhenTheLastIsGone) {
    const auto old = entry(1, 10, "C8");
    const auto seen = entry(2, 11, "A2");
    const auto last = entry(2, 11, "A1");
    ErrorLogWatch w;
    EXPECT_TRUE(w.look(historyOf({last, seen, old})).empty());
    const auto unseen = entry(2, 11, "A3");
    const auto later = entry(3, 12, "35");
    EXPECT_EQ(w.look(historyOf({later, unseen, seen, old})), (std::vector<int>{1, 0}));
}

TEST(ErrorLogWatch, StateFileRoundTripAndFaults) {
    const test::TempDir dir;
    std::string error;
    EXPECT_FALSE(loadErrorState(dir.file("none"), error));
    EXPECT_TRUE(error.empty());
    const std::string key = errorEntryKey(entry(1, 10, "C8"));
    ASSERT_TRUE(saveErrorState(dir.file("st"), key, error)) << error;
    EXPECT_EQ(loadErrorState(dir.file("st"), error), key);
    ASSERT_TRUE(saveErrorState(dir.file("st"), "", error));
    EXPECT_EQ(loadErrorState(dir.file("st"), error), std::string());
    ASSERT_TRUE(fileio::writeFileAtomic(dir.file("bad"), "garbage\n").ok);
    EXPECT_FALSE(loadErrorState(dir.file("bad"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(saveErrorState(dir.file("no/such/dir/st"), key, error));
    // A key with what a settings text would take for a comment comes back whole.
    const std::string odd = "240302110000 00 A2 12 #4;x";
    ASSERT_TRUE(saveErrorState(dir.file("st"), odd, error)) << error;
    EXPECT_EQ(loadErrorState(dir.file("st"), error), odd) << error;
    // A key too long is said to be so, not taken for a missing line.
    ASSERT_TRUE(
        fileio::writeFileAtomic(dir.file("long"), "last-error = " + std::string(65, '1') + "\n")
            .ok);
    EXPECT_FALSE(loadErrorState(dir.file("long"), error));
    EXPECT_NE(error.find("64 文字より長いです"), std::string::npos) << error;
}

TEST(BrokerUrl, KnownAnswers) {
    struct Good {
        const char* text;
        bool tls;
        const char* host;
        int port;
    };
    for (const Good& g :
         {Good{"mqtt://broker", false, "broker", 1883},
          Good{"mqtts://broker.plant.example:8884/", true, "broker.plant.example", 8884},
          Good{"mqtt://127.0.0.1:1", false, "127.0.0.1", 1},
          Good{"mqtts://[::1]:65535", true, "::1", 65535},
          Good{"mqtt://[fe80::1]", false, "fe80::1", 1883}}) {
        std::string error;
        const auto url = parseBrokerUrl(g.text, error);
        ASSERT_TRUE(url) << g.text << ": " << error;
        EXPECT_EQ(url->tls, g.tls);
        EXPECT_EQ(url->host, g.host);
        EXPECT_EQ(url->port, g.port);
    }
    for (const char* bad :
         {"tcp://broker", "broker:1883", "mqtt://", "mqtt://b:0", "mqtt://b:65536", "mqtt://b:12a",
          "mqtt://b:", "mqtt://user@b", "mqtt://b/topic", "mqtt://[::1", "mqtt://[zz]",
          "mqtt://b c", "mqtt://b:99999999999"}) {
        std::string error;
        EXPECT_FALSE(parseBrokerUrl(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

class JapanTime : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        m_old = tz != nullptr ? std::optional<std::string>(tz) : std::nullopt;
        setenv("TZ", "JST-9", 1);
        tzset();
    }
    void TearDown() override {
        m_old ? setenv("TZ", m_old->c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    // 2024-03-15 01:00:00 UTC = 10:00 in Japan.
    static constexpr std::time_t kTime = 1710464400;

  private:
    std::optional<std::string> m_old;
};

TEST_F(JapanTime, PayloadsAsDocumented) {
    const std::vector<BarView> bars = {bar(1, 120, 50, 40, BarState::Incident),
                                       bar(2, 45, 50, 40, BarState::Unstable),
                                       bar(3, 0, 50, 40, BarState::Blanked)};
    EXPECT_EQ(levelsPayload(kTime, 2, bars, sensorMargin(bars)),
              R"({"time":"2024-03-15T10:00:00+09:00","channel":2,"beams":3,"level":[120,45,0],)"
              R"("on":[50,50,50],"off":[40,40,40],"state":["incident","unstable","blanked"],)"
              R"("margin":{"percent":90.0,"beam":2}})");

    StatusReport r;
    r.time = kTime;
    r.name = "line7";
    r.port = "COM1";
    r.target = "tcp:192.0.2.40:4001";
    r.host = "press-pc";
    r.intervalSeconds = 0.25;
    r.state = 2;
    r.error = evaluateControllerError(0xA2);
    r.beams = {40};
    r.delivery.refused = 3;
    r.delivery.errorsLost = 1;
    EXPECT_EQ(
        statusPayload(r),
        R"({"time":"2024-03-15T10:00:00+09:00","name":"line7","port":"COM1","unit":0,)"
        R"("target":"tcp:192.0.2.40:4001","host":"press-pc","interval":0.25,)"
        R"("line":"ok","problem":null,"state":"error","state_code":2,"state_text":"エラー状態",)"
        R"("error":{"number":"A2","code":162,"text":"相互干渉エラー","kind":"installation"},)"
        R"("sensors":[{"channel":1,"beams":40}],"fingerprint":null,"read":"ok","read_error":null,)"
        R"("delivery":{"levels_dropped":0,"refused":3,"alerts_lost":0,"errors_lost":1}})");
    r.fingerprint = Fingerprint{"3f2a91c0" + std::string(56, '0')};
    EXPECT_NE(statusPayload(r).find(R"("fingerprint":{"short":"3F2A-91C0","sha256":"3f2a91c0)"),
              std::string::npos);
    StatusReport busy;
    busy.time = kTime;
    busy.line = LineState::Busy;
    busy.problem = "COM1 in use";
    const std::string b = statusPayload(busy);
    EXPECT_NE(b.find(R"("line":"busy","problem":"COM1 in use","state":null)"), std::string::npos)
        << b;
    EXPECT_NE(b.find(R"("read":"failed")"), std::string::npos) << b;
    EXPECT_NE(b.find(R"("target":null,"host":"","interval":0,)"), std::string::npos) << b;

    auto e = entry(5, 13, "C8");
    e.year = 2;
    e.month = 12;
    e.minute = 4;
    e.second = 59;
    e.serialText = "020B04D2";
    EXPECT_EQ(errorEntryPayload(kTime, e),
              R"({"time":"2024-03-15T10:00:00+09:00","date":"2002-12-05T13:04:59",)"
              R"("date_text":"02/12/05 木 13:04:59","number":"C8","code":200,"text":"設定エラー",)"
              R"("serial":"1234Y02"})");

    const MarginAlert alert{MarginAlert::Kind::Ok, 1, 5, 192.04};
    EXPECT_EQ(alertPayload(kTime, alert, 130, 3),
              R"({"time":"2024-03-15T10:00:00+09:00","alert":"margin-ok","channel":1,"beam":5,)"
              R"("margin":192.0,"warn_margin":130.0,"warn_count":3})");
}

TEST(TopicNames, WhatATopicLevelCanCarry) {
    EXPECT_TRUE(isValidTopicName("line7"));
    EXPECT_TRUE(isValidTopicName("ライン7"));
    EXPECT_TRUE(isValidTopicName(std::string(64, 'x')));
    // A name the broker would refuse later is refused now, saying why.
    for (const auto& [bad, why] : std::initializer_list<std::pair<std::string, const char*>>{
             {"", "empty"},
             {std::string(65, 'x'), "longer than 64"},
             {"a/b", "'/'"},
             {"a+", "'+'"},
             {"#", "'#'"},
             {"a b", "blank"},
             {"a\tb", "control"},
             {"a\xC2\x9B", "control"},  // C1 CSI
             {"line\xFF", "no UTF-8 text (byte 5)"},
             {"\xC0\xAF", "no UTF-8"}}) {  // an overlong '/'
        const std::string problem = topicNameProblem(bad);
        EXPECT_NE(problem.find(why), std::string::npos) << bad << ": " << problem;
    }
    EXPECT_EQ(topic("line7", levelsLeaf(3)), "qavix/line7/levels/CH3");
}

}  // namespace
}  // namespace qavix::telemetry
