// Controllers grouped by the line they are on, their link settings, and the scheduler that
// reads lines side by side and the controllers of a line one after the other.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "WaitUntil.h"
#include "fleet/LinePlan.h"
#include "fleet/LineScheduler.h"
#include "fleet/PlantLink.h"

namespace qavix::fleet {
namespace {

using std::chrono::milliseconds;
using test::waitUntil;
using Lines = std::vector<std::vector<size_t>>;

// COM1 and COM2 lead to one adapter through two names; COM3 to the emulator; COM4 to nothing;
// COM5 to a device server. Network values stand for themselves, as in the link library.
std::optional<link::PortTarget> fakeLookup(const std::string& port) {
    link::PortTarget t;
    if (port == "COM5") {
        return link::parsePortValue("tcp:192.0.2.7:4001");
    }
    if (link::isNetworkValue(port)) {
        return link::parsePortValue(port);
    }
    if (port == "COM1" || port == "com1" || port == "/dev/serial/by-id/usb-0042") {
        t.device = "/dev/ttyUSB0";
    } else if (port == "COM2" || port == "/dev/ttyUSB1") {
        t.device = "/dev/ttyUSB1";
    } else if (port == "COM3" || port.rfind("sim", 0) == 0) {
        t.emulator = true;
    } else {
        return std::nullopt;
    }
    return t;
}

TEST(LinePlan, ControllersOnOneDeviceOrTargetShareALine) {
    const std::vector<std::string> ports = {
        "COM1",                        // 0: ttyUSB0
        "/dev/ttyUSB1",                // 1
        "/dev/serial/by-id/usb-0042",  // 2: ttyUSB0 again, by another name
        "sim:--unit 1",                // 3: an emulator of its own
        "sim:--unit 1",                // 4: and another one
        "TCP:192.0.2.7:4001",          // 5: not a network value (prefixes are lower case)
        "tcp:192.0.2.7:4001",          // 6: a device server port
        "COM4",                        // 7: nothing mapped
        "com1",                        // 8: ttyUSB0
        "COM5",                        // 9: the server port of 6, through a COM name
        "rfc2217:192.0.2.7:4001",      // 10: the same server port with Telnet
        "tcp:[::1]:4001",              // 11
        "tcp:[0:0::1]:4001",           // 12: the same address written another way
        "tcp:Plc-7:4001",              // 13
        "tcp:plc-7:4001",              // 14: host names ignore case
        "tcp:plc-7:4002",              // 15: another port of that server
    };
    EXPECT_EQ(groupByLine(ports, fakeLookup),
              (Lines{{0, 2, 8}, {1}, {3}, {4}, {5}, {6, 9, 10}, {7}, {11, 12}, {13, 14}, {15}}));
    EXPECT_EQ(groupByLine({}, fakeLookup), Lines{});
}

TEST(LinePlan, DefaultJobsIsOnePerLineUpToSixtyFour) {
    EXPECT_EQ(defaultJobs(0), 1);
    EXPECT_EQ(defaultJobs(16), 16);
    EXPECT_EQ(defaultJobs(64), 64);
    EXPECT_EQ(defaultJobs(300), 64);
}

TEST(PlantLink, LineSettingsComeFromQavixIniAndThePlantOnTop) {
    PortSettings ini;
    ini.ports[1].baudIndex = 3;  // COM2: 38400
    ini.ports[1].bytesize = 0;
    ini.ports[1].parity = 0;
    ini.ports[1].stopbit = 0;
    PlantController c;
    c.port = "COM2";
    c.unit = 5;
    LinkSettings s = plantLinkSettings(c, ini);
    EXPECT_EQ(s.portName, "COM2");
    EXPECT_EQ(s.unit, 5);
    EXPECT_EQ(s.activePort, 0);
    EXPECT_EQ(s.blocks[0], (PortBlock{38400, 8, 0, 0, 0, 5}));
    EXPECT_EQ(portNameOf(s), "COM2");

    // Another port takes the program's defaults; the plant's keys win over both.
    c.port = "/dev/ttyUSB3";
    c.baud = 19200;
    c.stopBits = 1;
    s = plantLinkSettings(c, ini);
    EXPECT_EQ(s.blocks[0], (PortBlock{19200, 7, 2, 0, 0, 5}));
    c.port = "COM2";
    c.dataBits = 7;
    c.evenParity = true;
    s = plantLinkSettings(c, ini);
    EXPECT_EQ(s.blocks[0], (PortBlock{19200, 7, 2, 0, 0, 5}));
}

// Records when each controller's work ran. Work that looks for company first waits (with a
// bound) until a second one runs beside it, so lines that may run side by side are seen to
// however the machine schedules the workers.
class Recorder {
  public:
    void run(size_t controller, milliseconds length, bool lookForCompany = false) {
        const auto begin = std::chrono::steady_clock::now();
        {
            std::unique_lock lock(m_mutex);
            ++m_active;
            m_peak = std::max(m_peak, m_active);
            m_changed.notify_all();
            if (lookForCompany) {
                m_changed.wait_for(lock, std::chrono::seconds(5), [this] { return m_peak > 1; });
            }
        }
        std::this_thread::sleep_for(length);
        std::lock_guard lock(m_mutex);
        --m_active;
        m_spans[controller] = {begin, std::chrono::steady_clock::now()};
    }
    bool overlap(size_t a, size_t b) const {
        const auto& x = m_spans.at(a);
        const auto& y = m_spans.at(b);
        return x.first < y.second && y.first < x.second;
    }
    int peak() const { return m_peak; }
    size_t done() const { return m_spans.size(); }

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_active = 0;
    int m_peak = 0;
    std::map<size_t, std::pair<std::chrono::steady_clock::time_point,
                               std::chrono::steady_clock::time_point>>
        m_spans;
};

TEST(LineScheduler, LinesRunSideBySideAndALinesControllersInTurn) {
    Recorder recorder;
    LineScheduler scheduler({{0, 3}, {1}, {2, 4, 5}}, 8);
    EXPECT_EQ(scheduler.workers(), 3);  // no more workers than lines
    scheduler.start([&](size_t c) { recorder.run(c, milliseconds(40), true); });
    ASSERT_TRUE(scheduler.waitFinished(milliseconds(20000)));
    EXPECT_EQ(recorder.done(), 6u);
    EXPECT_FALSE(recorder.overlap(0, 3));
    EXPECT_FALSE(recorder.overlap(2, 4));
    EXPECT_FALSE(recorder.overlap(4, 5));
    EXPECT_FALSE(recorder.overlap(2, 5));
    // Different lines did run at the same time.
    EXPECT_TRUE(recorder.overlap(0, 1) || recorder.overlap(0, 2) || recorder.overlap(1, 2));
    EXPECT_TRUE(scheduler.notStarted().empty());
}

TEST(LineScheduler, JobsLimitHowManyLinesRunAtOnce) {
    Recorder recorder;
    LineScheduler scheduler({{0}, {1}, {2}, {3}, {4}}, 2);
    scheduler.start([&](size_t c) { recorder.run(c, milliseconds(20)); });
    ASSERT_TRUE(scheduler.waitFinished(milliseconds(5000)));
    EXPECT_EQ(recorder.done(), 5u);
    EXPECT_LE(recorder.peak(), 2);
}

TEST(LineScheduler, AStopStartsNothingNewAndLetsTheWorkInProgressFinish) {
    std::atomic<int> finished{0};
    std::atomic<int> inFlight{0};
    std::atomic<bool> stopAsked{false};
    LineScheduler scheduler({{0, 1, 2}, {3, 4}}, 2);
    // The work in progress lasts until the stop has been asked for.
    scheduler.start([&](size_t) {
        ++inFlight;
        waitUntil([&] { return stopAsked.load(); }, milliseconds(5000));
        ++finished;
    });
    ASSERT_TRUE(waitUntil([&] { return inFlight == 2; }, milliseconds(5000)));
    scheduler.requestStop();
    stopAsked = true;
    ASSERT_TRUE(scheduler.waitFinished(milliseconds(5000)));
    // Both first controllers ran to their end; the rest of each line never began.
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(scheduler.notStarted(), (std::vector<size_t>{1, 2, 4}));
}

TEST(LineScheduler, NothingToDoFinishesAtOnce) {
    LineScheduler scheduler({}, 4);
    scheduler.start([](size_t) {});
    EXPECT_TRUE(scheduler.waitFinished(milliseconds(0)));
}

}  // namespace
}  // namespace qavix::fleet
