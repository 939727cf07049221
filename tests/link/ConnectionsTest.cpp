// Several connections of the library in one process: each thread talks to its own line, and
// ending or terminating one leaves the others as they were.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "LinkApi.h"

namespace qavix::link::test {
namespace {

constexpr int kStatusId = 48;
constexpr int kTimeoutMs = 1500;

const LinkApi& api() {
    return LinkApi::instance();
}

std::vector<int> block(int unit) {
    return {9600, 7, 2, 2, 0, unit};
}

// The operating states an emulator can start in, as its status reply shows them.
const char* const kStates[] = {"0", "1", "2", "30"};

// A new connection for the calling thread, opened on an in-process emulator answering
// `unit` in state kStates[unit % 4]. 0 on failure.
int openOwn(int unit) {
    int number = 0;
    if (api().newConnection(&number) != 1 || number <= 0 || api().useConnection(number) != 1) {
        return 0;
    }
    const std::string port = "sim:--unit " + std::to_string(unit) + " --state " +
                             kStates[unit % 4] + " --instant-timeout on";
    return api().open(port.c_str(), block(unit).data()) == 1 ? number : 0;
}

// The state digits of the status reply, or "" when there was none.
std::string status() {
    char reply[1024] = {};
    if (api().getControlDataWait(kStatusId, reply, kTimeoutMs) != 1) {
        return "";
    }
    return std::string(reply).substr(0, 2);
}

bool statusAnswered() {
    return !status().empty();
}

std::string twoDigits(const char* state) {
    const std::string s(state);
    return s.size() == 1 ? "0" + s : s;
}

class Connections : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(api().missing, ""); }
    void TearDown() override {
        for (int number : m_numbers) {
            api().endConnection(number);
        }
        api().useConnection(0);
    }
    std::vector<int> m_numbers;
};

TEST_F(Connections, ThreadsOnConnectionsOfTheirOwnEachReachTheirUnit) {
    // Each emulator answers only its own unit and from a state of its own, so a request
    // that went out on another thread's line would go unanswered or show another state.
    constexpr int kThreads = 4;
    constexpr int kRequests = 40;
    std::atomic<int> answered{0};
    std::vector<int> numbers(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &answered, &numbers] {
            numbers[static_cast<size_t>(t)] = openOwn(t + 1);
            if (numbers[static_cast<size_t>(t)] == 0) {
                return;
            }
            const std::string expected = twoDigits(kStates[(t + 1) % 4]);
            for (int i = 0; i < kRequests; ++i) {
                answered += status() == expected ? 1 : 0;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    m_numbers = numbers;
    for (int number : numbers) {
        EXPECT_GT(number, 0);
    }
    EXPECT_EQ(answered, kThreads * kRequests);
    // The shared connection was never opened by any of them.
    ASSERT_EQ(api().initialize(), 1);
    EXPECT_FALSE(statusAnswered());
    EXPECT_EQ(api().errorCode(), "NOTOPEN");
    api().terminate();
}

TEST_F(Connections, EndingOrTerminatingOneLeavesTheOthersOpen) {
    const int first = openOwn(1);
    ASSERT_GT(first, 0);
    m_numbers.push_back(first);
    int second = 0;
    std::thread([&second] { second = openOwn(2); }).join();
    ASSERT_GT(second, 0);
    m_numbers.push_back(second);
    EXPECT_NE(first, second);

    // Terminate belongs to the calling thread's connection only.
    ASSERT_EQ(api().useConnection(second), 1);
    EXPECT_EQ(api().terminate(), 1);
    EXPECT_FALSE(statusAnswered());
    EXPECT_EQ(api().errorCode(), "NOINIT");
    ASSERT_EQ(api().useConnection(first), 1);
    EXPECT_TRUE(statusAnswered());

    // A thread still on an ended connection fails every call and never falls back to
    // another line; the number is not given out again.
    ASSERT_EQ(api().endConnection(first), 1);
    EXPECT_FALSE(statusAnswered());
    EXPECT_EQ(api().errorCode(), "NOINIT");
    EXPECT_EQ(api().useConnection(first), 0);
    int third = 0;
    ASSERT_EQ(api().newConnection(&third), 1);
    m_numbers.push_back(third);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
}

// An ended connection stays ended for the threads still on it: initialising it again is
// refused, so no port opened there can be reached by another such thread.
TEST_F(Connections, AThreadOnAnEndedConnectionCannotBringItBack) {
    auto onEndedConnection = [](int unit, const std::function<void()>& body) {
        std::thread([&] {
            const int number = openOwn(unit);
            if (number > 0 && api().endConnection(number) == 1) {
                body();
            }
        }).join();
    };
    int initialised = -1;
    int opened = -1;
    std::string initCode;
    onEndedConnection(1, [&] {
        initialised = api().initialize();
        initCode = api().errorCode();
        opened = api().open("sim:--instant-timeout on", block(0).data());
    });
    std::string seen = "not run";
    std::string seenCode;
    onEndedConnection(2, [&] {
        seen = status();
        seenCode = api().errorCode();
    });
    EXPECT_EQ(initialised, 0);
    EXPECT_EQ(initCode, "NOINIT");
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(seen, "") << "another thread's line";
    EXPECT_EQ(seenCode, "NOINIT");
}

TEST_F(Connections, AtMost256AreInUseTheSharedOneAmongThem) {
    int number = 0;
    while (m_numbers.size() < 300 && api().newConnection(&number) == 1) {
        m_numbers.push_back(number);
    }
    EXPECT_EQ(m_numbers.size(), 255u);
    EXPECT_EQ(api().errorCode(), "ARG");
    // Ending one makes room for one more.
    ASSERT_EQ(api().endConnection(m_numbers.back()), 1);
    m_numbers.pop_back();
    EXPECT_EQ(api().newConnection(&number), 1);
    m_numbers.push_back(number);
}

TEST_F(Connections, BadNumbersAreRefusedWithAnArgumentFailure) {
    EXPECT_EQ(api().useConnection(987654), 0);
    EXPECT_EQ(api().errorCode(), "ARG");
    EXPECT_EQ(api().endConnection(0), 0);
    EXPECT_EQ(api().errorCode(), "ARG");
    EXPECT_EQ(api().endConnection(-3), 0);
    EXPECT_EQ(api().newConnection(nullptr), 0);
    EXPECT_EQ(api().errorCode(), "ARG");
    // Choosing the shared connection always works.
    EXPECT_EQ(api().useConnection(0), 1);
}

}  // namespace
}  // namespace qavix::link::test
