// What only a real terminal shows: noise on the line in either direction, the exclusive
// open, a vanished emulator and the line settings.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BaudRate.h"
#include "ChildProcess.h"
#include "Frame.h"
#include "FrameServer.h"
#include "HeldPty.h"
#include "LinkApi.h"
#include "Message.h"
#include "SimProcess.h"
#include "sim/Controller.h"

namespace qavix::link::test {
namespace {

using Clock = std::chrono::steady_clock;
using qavix::test::SimProcess;
using std::chrono::milliseconds;

constexpr int kStatusId = 48;
constexpr int kTimeoutMs = 1500;
const int kPortBlock[KRYL_PORT_BLOCK_SIZE] = {9600, 7, 2, 2, 0, 0};

const LinkApi& api() {
    return LinkApi::instance();
}

class PtyLine : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(api().missing, "");
        ASSERT_EQ(api().initialize(), 1);
    }
    void TearDown() override {
        api().close();
        api().terminate();
        ::unsetenv("QAVLINK_COM1");
    }
    static void openDevice(const std::string& device, const int* block = kPortBlock) {
        ::setenv("QAVLINK_COM1", device.c_str(), 1);
        ASSERT_EQ(api().open("COM1", block), 1) << api().errorCode();
    }
    static bool statusOk(int timeoutMs = kTimeoutMs) {
        char reply[1024] = {};
        return api().getControlDataWait(kStatusId, reply, timeoutMs) == 1;
    }
};

TEST_F(PtyLine, EmulatorSkipsNoiseAheadOfARequest) {
    SimProcess sim({});
    ASSERT_FALSE(sim.device().empty());
    // A second descriptor of the line, opened before the library takes it.
    const int noise = ::open(sim.device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(noise, 0);
    ASSERT_NO_FATAL_FAILURE(openDevice(sim.device()));
    std::string bad = encodeFrame("001GC,48");
    bad.back() = bad.back() == '0' ? '1' : '0';
    const std::vector<std::string> noises = {"line noise",
                                             std::string("\x03\x02"
                                                         "00"),
                                             bad, std::string("\x02" + std::string(3000, 'Z'))};
    for (const std::string& bytes : noises) {
        ASSERT_EQ(::write(noise, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        EXPECT_TRUE(statusOk()) << api().errorCode();
    }
    ::close(noise);
}

// Plays the controller on a pseudo-terminal of its own and puts noise in front of every
// reply, so the link library has to find its reply behind it.
class NoisyController {
  public:
    explicit NoisyController(std::vector<std::string> noises) : m_noises(std::move(noises)) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            m_device = ptsname(m_master);
        }
        std::string error;
        m_controller = sim::Controller::create(sim::Options{}, error);
        m_server = std::make_unique<FrameServer>(
            [this](const sim::Command& c) { return m_controller->execute(c); }, LineFaults{});
        m_thread = std::thread([this] { serve(); });
    }
    ~NoisyController() {
        m_stop = true;
        m_thread.join();
        ::close(m_master);
    }
    const std::string& device() const { return m_device; }

  private:
    void serve() {
        std::size_t next = 0;
        while (!m_stop) {
            pollfd pfd{m_master, POLLIN, 0};
            char buffer[512];
            if (::poll(&pfd, 1, 10) <= 0 || (pfd.revents & POLLIN) == 0) {
                // Nobody has the device open: the master reports a hang-up until someone does.
                std::this_thread::sleep_for(milliseconds(5));
                continue;
            }
            const ssize_t got = ::read(m_master, buffer, sizeof buffer);
            if (got <= 0) {
                continue;
            }
            for (ServedReply& reply :
                 m_server->feed(std::string_view(buffer, static_cast<std::size_t>(got)))) {
                const std::string bytes = m_noises[next++ % m_noises.size()] + reply.frame;
                (void)!::write(m_master, bytes.data(), bytes.size());
            }
        }
    }

    std::vector<std::string> m_noises;
    int m_master = -1;
    std::string m_device;
    std::unique_ptr<sim::Controller> m_controller;
    std::unique_ptr<FrameServer> m_server;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

TEST_F(PtyLine, LinkFindsItsReplyBehindNoise) {
    // A status reply with a sequence digit no request will carry next, to stand for a
    // late reply to an earlier request.
    Reply stale{0, 0, sim::Op::GetControl, sim::kOk, "0102"};
    const std::vector<std::string> noises = {
        "garbage",
        std::string("\x02"
                    "half a frame"),
        std::string("\x03\x03\xff"), encodeFrame(encodeReply(stale)), std::string(600, '\x7f')};
    NoisyController controller(noises);
    ASSERT_FALSE(controller.device().empty());
    ASSERT_NO_FATAL_FAILURE(openDevice(controller.device()));
    for (std::size_t i = 0; i < noises.size(); ++i) {
        char reply[1024] = {};
        ASSERT_EQ(api().getControlDataWait(kStatusId, reply, kTimeoutMs), 1)
            << i << ' ' << api().errorCode();
        EXPECT_EQ(std::string(reply).substr(0, 2), "00") << i;
    }
}

TEST_F(PtyLine, DeviceIsHeldExclusively) {
    SimProcess sim({});
    ASSERT_FALSE(sim.device().empty());
    ASSERT_NO_FATAL_FAILURE(openDevice(sim.device()));
    // Another process.
    const qavix::test::ProcessResult other =
        qavix::test::runProcess({"flock", "-n", sim.device(), "true"});
    EXPECT_EQ(other.exitCode, 1) << other.err;
    // This process, past the library.
    const int fd = ::open(sim.device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
    // Once closed, the device is free again.
    api().close();
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
    ASSERT_NO_FATAL_FAILURE(openDevice(sim.device()));
    EXPECT_TRUE(statusOk());
}

TEST_F(PtyLine, VanishedEmulatorFailsCallsPromptly) {
    SimProcess sim({});
    ASSERT_FALSE(sim.device().empty());
    ASSERT_NO_FATAL_FAILURE(openDevice(sim.device()));
    ASSERT_TRUE(statusOk());
    sim.kill();
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(statusOk(kTimeoutMs));
    }
}

TEST_F(PtyLine, BusyDeviceIsReportedWithItsHolder) {
    qavix::test::HeldPty pty;
    ASSERT_TRUE(pty.ready());
    ::setenv("QAVLINK_COM1", pty.slave().c_str(), 1);
    EXPECT_EQ(api().open("COM1", kPortBlock), 0);
    ::unsetenv("QAVLINK_COM1");
    char code[KRYL_ERROR_CODE_SIZE] = {};
    char message[KRYL_ERROR_TEXT_SIZE] = {};
    ASSERT_EQ(api().getLastError(code, message), 1);
    EXPECT_STREQ(code, "BUSY");
    const std::string text = message;
    EXPECT_NE(text.find(pty.slave()), std::string::npos) << text;
    EXPECT_NE(text.find("使用中"), std::string::npos) << text;
    EXPECT_NE(text.find("(PID " + std::to_string(pty.holder()) + ")"), std::string::npos) << text;
}

// A pseudo-terminal keeps the baud rate (not data bits or parity), so that much of the
// block can be checked on the line; 14400 has no Bxxx constant of its own.
TEST_F(PtyLine, BaudRateOfTheBlockReachesTheLine) {
    SimProcess sim({});
    ASSERT_FALSE(sim.device().empty());
    for (const int baud : {9600, 14400, 115200}) {
        const int block[KRYL_PORT_BLOCK_SIZE] = {baud, 8, 0, 0, 0, 0};
        ASSERT_NO_FATAL_FAILURE(openDevice(sim.device(), block));
        const int fd = ::open(sim.device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(readBaudRate(fd), baud);
        ::close(fd);
        EXPECT_TRUE(statusOk());
    }
}

}  // namespace
}  // namespace qavix::link::test
