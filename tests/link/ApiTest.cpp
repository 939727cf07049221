// libqavlink as the program uses it: loaded with dlopen, talking to the emulator over a
// real pseudo-terminal (qavix-sim) and, with the same tests, to the built-in emulator.

#include <gtest/gtest.h>

#include <ostream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Frame.h"
#include "LinkApi.h"
#include "SimProcess.h"

namespace qavix::link::test {
namespace {

using Clock = std::chrono::steady_clock;
using qavix::test::SimProcess;
using std::chrono::milliseconds;

constexpr int kStatusId = 48;
constexpr int kBankPut = 42;         // Bank 1 image, write
constexpr int kBankRead = 150;       // Bank 1 image, read
constexpr int kZeroPointsCh2 = 784;  // start of the CH2 zero points in a bank image
constexpr int kTimeoutMs = 1500;
constexpr int kShortTimeoutMs = 200;
// Generous: the bound says "returns", not "returns fast".
const int kPortBlock[KRYL_PORT_BLOCK_SIZE] = {9600, 7, 2, 2, 0, 0};

const LinkApi& api() {
    return LinkApi::instance();
}

std::string join(const std::vector<std::string>& options) {
    std::string text;
    for (const auto& option : options) {
        text += (text.empty() ? "" : " ") + option;
    }
    return text;
}

enum class Line { Pty, InProcess };

// Test lists show the line by name rather than as bytes.
void PrintTo(Line line, std::ostream* os) {
    *os << (line == Line::Pty ? "pty" : "in-process");
}

class LinkApiTest : public ::testing::TestWithParam<Line> {
  protected:
    void SetUp() override { ASSERT_EQ(api().missing, ""); }

    void TearDown() override {
        api().close();
        api().terminate();
        m_sim.reset();
        ::unsetenv("QAVLINK_COM1");
    }

    // Connects COM1 to an emulator with these options.
    void connect(const std::vector<std::string>& options = {}) {
        std::string value;
        if (GetParam() == Line::Pty) {
            m_sim = std::make_unique<SimProcess>(options);
            ASSERT_FALSE(m_sim->device().empty()) << "qavix-sim did not start";
            value = m_sim->device();
        } else {
            value = "sim:" + join(options);
        }
        ::setenv("QAVLINK_COM1", value.c_str(), 1);
        ASSERT_EQ(api().initialize(), 1);
        ASSERT_EQ(api().open("COM1", kPortBlock), 1) << api().errorCode();
    }

    // The operating state of the status reply, or "failed".
    static std::string state(int timeoutMs = kTimeoutMs) {
        char reply[1024] = {};
        if (api().getControlDataWait(kStatusId, reply, timeoutMs) != 1) {
            return "failed";
        }
        return std::string(reply).substr(0, 2);
    }

    std::unique_ptr<SimProcess> m_sim;
};

TEST_P(LinkApiTest, StateChangesAndBankPutReadsBack) {
    ASSERT_NO_FATAL_FAILURE(connect());
    EXPECT_EQ(state(), "00");
    ASSERT_EQ(api().startSetting(0), 1) << api().errorCode();
    EXPECT_EQ(state(), "01");
    ASSERT_EQ(api().putParameterDataWait(kBankPut, kZeroPointsCh2, 4, "0A0B0C0D", kTimeoutMs), 1)
        << api().errorCode();
    char reply[2048] = {};
    ASSERT_EQ(api().getParameterDataWait(kBankRead, kZeroPointsCh2, 4, reply, kTimeoutMs), 1)
        << api().errorCode();
    EXPECT_STREQ(reply, "0A0B0C0D");
    ASSERT_EQ(api().enableSetting(0), 1);
    ASSERT_EQ(api().reset(0), 1);
    EXPECT_EQ(state(), "00");
    ASSERT_EQ(api().factStart(0), 1);
    EXPECT_EQ(state(), "30");
    ASSERT_EQ(api().factEnd(0), 1);
    ASSERT_EQ(api().reset(0), 1);
    EXPECT_EQ(state(), "00");
}

TEST_P(LinkApiTest, RefusedRequestFailsWithTheControllersCode) {
    ASSERT_NO_FATAL_FAILURE(connect());
    // Not in setting mode: the controller refuses puts.
    EXPECT_EQ(api().putParameterDataWait(kBankPut, kZeroPointsCh2, 4, "0A0B0C0D", kTimeoutMs), 0);
    EXPECT_EQ(api().errorCode(), "NAK04");
    // A command to another unit gets no answer at all.
    EXPECT_EQ(api().startSetting(7), 0);
    EXPECT_EQ(api().errorCode(), "TIMEOUT");
    EXPECT_EQ(state(), "00");
}

TEST_P(LinkApiTest, PulledCableFailsEveryLaterCallWithinItsTimeOut) {
    ASSERT_NO_FATAL_FAILURE(connect({"--hang-after", "1"}));
    EXPECT_EQ(state(), "00");
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        EXPECT_EQ(state(kShortTimeoutMs), "failed");
        const auto took = Clock::now() - start;
        EXPECT_GE(took, milliseconds(kShortTimeoutMs));
        EXPECT_EQ(api().errorCode(), "TIMEOUT");
    }
}

TEST_P(LinkApiTest, DroppedOrCorruptedReplyFailsThatCallOnly) {
    for (const auto& [fault, code] : {std::pair{"--drop", "TIMEOUT"}, {"--corrupt", "CHECK"}}) {
        SCOPED_TRACE(fault);
        ASSERT_NO_FATAL_FAILURE(connect({fault, "2"}));
        EXPECT_EQ(state(kShortTimeoutMs), "00");
        EXPECT_EQ(state(kShortTimeoutMs), "failed");
        EXPECT_EQ(api().errorCode(), code);
        EXPECT_EQ(state(kShortTimeoutMs), "00");
        TearDown();
    }
}

TEST_P(LinkApiTest, RetryCountRecoversADroppedReply) {
    ASSERT_NO_FATAL_FAILURE(connect({"--drop", "2"}));
    ASSERT_EQ(api().setRetryCount(1), 1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(state(kShortTimeoutMs), "00") << i;
    }
    EXPECT_EQ(api().setRetryCount(-1), 0);
    EXPECT_EQ(api().setRetryCount(KRYL_MAX_RETRIES + 1), 0);
}

TEST_P(LinkApiTest, CommDataHoldsTheLastRawFrames) {
    ASSERT_NO_FATAL_FAILURE(connect());
    char reply[1024] = {};
    ASSERT_EQ(api().getControlDataWait(kStatusId, reply, kTimeoutMs), 1);
    char sent[KRYL_FRAME_BUFFER_SIZE] = {};
    char received[KRYL_FRAME_BUFFER_SIZE] = {};
    ASSERT_EQ(api().getCommData(sent, received), 1);
    const std::string out = sent;
    const std::string in = received;
    ASSERT_GE(out.size(), 4u);
    ASSERT_GE(in.size(), 4u);
    for (const std::string& frame : {out, in}) {
        EXPECT_EQ(frame.front(), kStx);
        EXPECT_EQ(frame[frame.size() - 2], kEtx);
        EXPECT_EQ(frame.back(), checkCharacter(frame.substr(1, frame.size() - 3)));
    }
    EXPECT_NE(out.find("GC,48"), std::string::npos) << out;
    EXPECT_NE(in.find(reply), std::string::npos) << in;
}

TEST_P(LinkApiTest, CloseReopenAndTheEntriesWithoutTimeOut) {
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_EQ(api().close(), 1);
    EXPECT_EQ(state(), "failed");
    EXPECT_EQ(api().errorCode(), "NOTOPEN");
    ASSERT_EQ(api().open("COM1", kPortBlock), 1) << api().errorCode();
    EXPECT_EQ(state(), "00");
    ASSERT_EQ(api().reOpen(), 1) << api().errorCode();
    char viaStatus[1024] = {};
    char viaControl[1024] = {};
    ASSERT_EQ(api().getStatus(viaStatus), 1);
    ASSERT_EQ(api().getControlData(kStatusId, viaControl), 1);
    EXPECT_STREQ(viaStatus, viaControl);
    EXPECT_EQ(api().putParameterData(kBankPut, 0, 1, "00"), 0);  // not in setting mode
    EXPECT_EQ(api().errorCode(), "NAK04");
}

TEST_P(LinkApiTest, LastErrorIsEmptyWhenHealthyAndBoundedOtherwise) {
    ASSERT_NO_FATAL_FAILURE(connect());
    char code[KRYL_ERROR_CODE_SIZE] = {};
    char message[KRYL_ERROR_TEXT_SIZE] = {};
    ASSERT_EQ(api().getLastError(code, message), 1);
    EXPECT_STREQ(code, "");
    EXPECT_STREQ(message, "");

    ::setenv("QAVLINK_COM6", "/dev/qavix-no-such-device", 1);
    EXPECT_EQ(api().open("COM6", kPortBlock), 0);
    ::unsetenv("QAVLINK_COM6");
    // Filled right up to the end of each buffer, the texts must still be terminated.
    std::memset(code, 'x', sizeof code);
    std::memset(message, 'x', sizeof message);
    ASSERT_EQ(api().getLastError(code, message), 1);
    EXPECT_STREQ(code, "NOPORT");
    EXPECT_LT(std::strlen(message), sizeof message);
    EXPECT_GT(std::strlen(message), 0u);

    const int badBlock[KRYL_PORT_BLOCK_SIZE] = {9600, 5, 2, 2, 0, 0};
    EXPECT_EQ(api().open("COM1", badBlock), 0);
    EXPECT_EQ(api().errorCode(), "ARG");
    EXPECT_EQ(api().open("LPT1", kPortBlock), 0);
    EXPECT_EQ(api().errorCode(), "NOPORT");
    EXPECT_EQ(api().getControlDataWait(kStatusId, nullptr, kTimeoutMs), 0);
    EXPECT_EQ(api().errorCode(), "ARG");
    EXPECT_EQ(api().putControlDataWait(0, nullptr, kTimeoutMs), 0);
    EXPECT_EQ(api().errorCode(), "ARG");

    ASSERT_EQ(api().open("COM1", kPortBlock), 1);
    std::memset(code, 0, sizeof code);
    std::memset(message, 0, sizeof message);
    ASSERT_EQ(api().getLastError(code, message), 1);
    EXPECT_STREQ(code, "");
    EXPECT_STREQ(message, "");
}

INSTANTIATE_TEST_SUITE_P(Lines, LinkApiTest, ::testing::Values(Line::Pty, Line::InProcess),
                         [](const auto& testInfo) {
                             return testInfo.param == Line::Pty ? "Pty" : "InProcess";
                         });

// Tests of a silent line use --instant-timeout to take no real time; it must not turn a
// reply still on the wire into a failure, nor a silent line into an answer. The option
// belongs to the built-in emulator only.
TEST(LinkApiInProcess, InstantTimeOutKeepsRepliesInFlightAndFailsSilentCalls) {
    ASSERT_EQ(api().missing, "");
    ::setenv("QAVLINK_COM1", "sim:--line-rate 9600 --hang-after 2 --instant-timeout on", 1);
    ASSERT_EQ(api().initialize(), 1);
    ASSERT_EQ(api().open("COM1", kPortBlock), 1) << api().errorCode();
    char reply[1024] = {};
    EXPECT_EQ(api().getControlDataWait(kStatusId, reply, kTimeoutMs), 1) << api().errorCode();
    EXPECT_EQ(std::string(reply).substr(0, 2), "00");
    EXPECT_EQ(api().startSetting(0), 1) << api().errorCode();
    // The entries without a time-out argument fail like the others.
    EXPECT_EQ(api().enableSetting(0), 0);
    EXPECT_EQ(api().errorCode(), "TIMEOUT");
    EXPECT_EQ(api().getControlDataWait(kStatusId, reply, kTimeoutMs), 0);
    EXPECT_EQ(api().errorCode(), "TIMEOUT");
    api().close();
    api().terminate();
    ::unsetenv("QAVLINK_COM1");
}

TEST(LinkApiUninitialised, RefusesToOpen) {
    ASSERT_EQ(api().missing, "");
    api().terminate();
    ::setenv("QAVLINK_COM1", "sim", 1);
    EXPECT_EQ(api().open("COM1", kPortBlock), 0);
    ::unsetenv("QAVLINK_COM1");
    EXPECT_EQ(api().errorCode(), "NOINIT");
}

}  // namespace
}  // namespace qavix::link::test
