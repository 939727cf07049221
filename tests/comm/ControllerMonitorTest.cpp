// The plant monitor's cycle against a scripted link: it only reads, reports every state the
// controller is found in, and tells a busy, silent or garbled line apart.
#include "telemetry/ControllerMonitor.h"

#include <gtest/gtest.h>

#include <set>

#include "FakeLink.h"

namespace qavix::test {
namespace {

using std::chrono::milliseconds;
using telemetry::ControllerMonitor;
using telemetry::ControllerReader;
using telemetry::LineState;
using telemetry::MessageKind;
using telemetry::MonitorConfig;

class ControllerMonitorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        link.parameterReplies[80] = "02";
        link.parameterReplies[72] = "282000";
        // Ratio levels of CH1 (40 beams) and CH2 (32): 120 %; thresholds 50 / 40 %.
        link.parameterReplies[89] = std::string(40 * 4, '0');
        for (int b = 0; b < 40; ++b) {
            link.parameterReplies[89].replace(static_cast<size_t>(4 * b), 4, "0078");
        }
        link.parameterReplies[91] = repeat("0032", 40);
        link.parameterReplies[94] = repeat("0028", 40);
        // The areas of fixed size that a whole read of the settings takes, at their sizes.
        link.parameterReplies[63] = std::string(kPioCount * 4, '0');
        link.parameterReplies[64] = std::string(kPioCount * 2, '0');
        for (int area : {129, 130}) {
            link.parameterReplies[area] = std::string(kChannelCount * 4, '0');
        }
        for (int area : {134, 135, 136}) {
            link.parameterReplies[area] = "0000";
        }
        for (int area : {144, 145}) {
            link.parameterReplies[area] = std::string(kGroupTableSize * 2, '0');
        }
        timings = instantTimings(milliseconds(1000));
    }
    static std::string repeat(const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) {
            out += s;
        }
        return out;
    }
    MonitorConfig config(milliseconds interval) {
        MonitorConfig c;
        c.name = "t";
        c.interval = interval;
        c.retryMax = milliseconds(8000);
        return c;
    }
    static size_t count(const std::vector<telemetry::OutMessage>& m, MessageKind kind) {
        return static_cast<size_t>(
            std::count_if(m.begin(), m.end(), [&](const auto& x) { return x.kind == kind; }));
    }

    FakeLink link;
    CommTimings timings;
    LinkSettings settings;
};

TEST_F(ControllerMonitorTest, ReadsOnlyAndReportsSettingModeWithoutResetting) {
    link.statusReplies = {"0102"};  // someone is writing settings
    ControllerReader reader(link.api(), settings, timings);
    ControllerMonitor monitor(reader, config(milliseconds(1000)));
    const auto out = monitor.cycle(false);
    ASSERT_FALSE(out.empty());
    EXPECT_NE(out.back().payload.find(R"("state":"setting")"), std::string::npos);
    EXPECT_EQ(count(out, MessageKind::Levels), 2u);
    const std::set<std::string> reads{"Open",         "Close",     "GetControl",
                                      "GetParameter", "GetString", "GetLastError"};
    for (const FakeCall& c : link.calls) {
        EXPECT_TRUE(reads.count(c.entry)) << c.entry << " " << c.id;
    }
}

TEST_F(ControllerMonitorTest, ControllerErrorIsPublishedWithItsNumberAndTheLevelsStillRead) {
    link.statusReplies = {"0202"};
    link.errorBlock = "00000000000000A9";
    ControllerReader reader(link.api(), settings, timings);
    ControllerMonitor monitor(reader, config(milliseconds(1000)));
    const auto out = monitor.cycle(false);
    EXPECT_NE(out.back().payload.find(
                  R"("number":"A9","code":169,"text":"センサ設定異常","kind":"dealer")"),
              std::string::npos)
        << out.back().payload;
    EXPECT_EQ(count(out, MessageKind::Levels), 2u);
    EXPECT_TRUE(monitor.lastCycleOk());
}

TEST_F(ControllerMonitorTest, BusyPortIsTriedAgainAtTheIntervalSilentLineBacksOff) {
    link.openSucceeds = false;
    link.errorCode = "BUSY";
    ControllerReader reader(link.api(), settings, timings);
    ControllerMonitor monitor(reader, config(milliseconds(1000)));
    auto out = monitor.cycle(true);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NE(out[0].payload.find(R"("line":"busy")"), std::string::npos) << out[0].payload;
    EXPECT_EQ(monitor.nextWait().count(), 1000);
    EXPECT_EQ(monitor.nextWait().count(), 1000);

    link.openSucceeds = true;
    link.errorCode = "TIMEOUT";
    link.statusReplies = {""};
    out = monitor.cycle(true);
    EXPECT_EQ(monitor.lastLine(), LineState::NoAnswer);
    EXPECT_NE(out.back().payload.find(R"("line":"no-answer")"), std::string::npos);
    EXPECT_EQ(monitor.nextWait().count(), 1000);
    EXPECT_EQ(monitor.nextWait().count(), 2000);
    EXPECT_EQ(monitor.nextWait().count(), 4000);
    EXPECT_EQ(monitor.nextWait().count(), 8000);
    EXPECT_EQ(monitor.nextWait().count(), 8000);
    // The line back: the interval again.
    link.errorCode.clear();
    link.statusReplies = {"0002"};
    monitor.cycle(false);
    EXPECT_EQ(monitor.lastLine(), LineState::Ok);
    EXPECT_EQ(monitor.nextWait().count(), 1000);
}

TEST_F(ControllerMonitorTest, GarbledLevelsAreAFailedReadNeverLevels) {
    link.parameterReplies[89] = "ZZ";
    ControllerReader reader(link.api(), settings, timings);
    ControllerMonitor monitor(reader, config(milliseconds(1000)));
    const auto out = monitor.cycle(false);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NE(out[0].payload.find(R"("line":"ok")"), std::string::npos);
    EXPECT_NE(
        out[0].payload.find(R"("read":"failed","read_error":"malformed reply to request 89")"),
        std::string::npos)
        << out[0].payload;
    EXPECT_FALSE(monitor.lastCycleOk());
}

TEST_F(ControllerMonitorTest, PortIsLeftFreeBetweenCyclesFromFiveSeconds) {
    for (const auto& [interval, closes] :
         {std::pair{milliseconds(4999), 0}, {milliseconds(5000), 2}}) {
        link.calls.clear();
        ControllerReader reader(link.api(), settings, timings);
        ControllerMonitor monitor(reader, config(interval));
        monitor.cycle(false);
        EXPECT_EQ(reader.isOpen(), closes == 0);
        monitor.cycle(false);
        EXPECT_EQ(link.countOf("Close"), closes) << interval.count();
        EXPECT_EQ(link.countOf("Open"), closes == 0 ? 1 : 2);
    }
}

// The thresholds of every beam are most of a cycle's line time: read when they may have
// changed (first cycle, setting mode, a line another program may have held, new sensors)
// and with every error-log read, else only the levels.
TEST_F(ControllerMonitorTest, RatioThresholdsAreReadAgainOnlyWhenTheyMayHaveChanged) {
    ControllerReader reader(link.api(), settings, timings);
    ControllerMonitor monitor(reader, config(milliseconds(1000)));
    const auto thresholdReads = [&](bool readErrors) {
        link.calls.clear();
        monitor.cycle(readErrors);
        int n = 0;
        for (const FakeCall& c : link.callsOf("GetParameter")) {
            n += c.id == 91 || c.id == 94 ? 1 : 0;
        }
        return n;
    };
    EXPECT_EQ(thresholdReads(false), 4);  // both sensors, ON and OFF
    EXPECT_EQ(thresholdReads(false), 0);
    EXPECT_EQ(thresholdReads(true), 4);
    link.statusReplies = {"0102"};  // someone writes settings
    EXPECT_EQ(thresholdReads(false), 4);
    link.statusReplies = {"0002"};
    EXPECT_EQ(thresholdReads(false), 4);  // after the write, what it wrote
    EXPECT_EQ(thresholdReads(false), 0);
    link.parameterReplies[72] = "302000";  // CH1 now 48 beams
    EXPECT_EQ(thresholdReads(false), 4);
    link.openSucceeds = false;
    link.errorCode = "BUSY";
    reader.close();
    EXPECT_EQ(thresholdReads(false), 0);
    link.openSucceeds = true;
    link.errorCode.clear();
    EXPECT_EQ(thresholdReads(false), 4);
}

// The status names the fingerprint of the current values, read whole (the controller's type
// comes as a text) when the settings may have changed, never with every cycle.
TEST_F(ControllerMonitorTest, TheStatusCarriesTheFingerprintOfSettingsReadWhenTheyMayHaveChanged) {
    ControllerReader reader(link.api(), settings, timings);
    ControllerMonitor monitor(reader, config(milliseconds(1000)));
    const auto cycle = [&](const char* status) {
        link.statusReplies = {status};
        link.calls.clear();
        const std::string payload = monitor.cycle(false).back().payload;
        return std::pair{link.callsOf("GetString").size(),
                         payload.find(R"("fingerprint":{"short":")") != std::string::npos};
    };
    EXPECT_EQ(cycle("0002"), std::pair(size_t{1}, true));
    EXPECT_EQ(cycle("0002"), std::pair(size_t{0}, true));
    EXPECT_EQ(cycle("0102"), std::pair(size_t{0}, true)) << "not while a write may be open";
    EXPECT_EQ(cycle("0002"), std::pair(size_t{1}, true));
    EXPECT_EQ(cycle("0002"), std::pair(size_t{0}, true));
}

// A reader asked to read on a closed port opens it and reads; success without a read would
// publish the levels of the cycle before as this one's.
TEST_F(ControllerMonitorTest, ReaderOnAClosedPortOpensItAndReads) {
    link.statusReplies = {"0102"};
    ControllerReader reader(link.api(), settings, timings);
    telemetry::ControllerStatus status;
    ASSERT_TRUE(reader.readStatus(status).ok());
    EXPECT_EQ(status.reply.state, 1);
    reader.close();
    link.parameterReplies[62] = "000101";
    DeviceModel model;
    ASSERT_TRUE(reader.read({PageRead{62, 0, 0, 0, 1500}}, model).ok());
    EXPECT_EQ(model.working().general.idText, "000101");
    EXPECT_EQ(link.countOf("Open"), 2);
}

TEST_F(ControllerMonitorTest, NameFromTheControllerId) {
    link.parameterReplies[62] = "000101";
    ControllerReader reader(link.api(), settings, timings);
    MonitorConfig c = config(milliseconds(1000));
    c.name.clear();
    ControllerMonitor monitor(reader, c);
    std::string problem;
    ASSERT_TRUE(monitor.identify(problem)) << problem;
    EXPECT_EQ(monitor.name(), "000101");
    EXPECT_EQ(monitor.cycle(false).back().topic, "qavix/000101/status");
}

}  // namespace
}  // namespace qavix::test
