#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "SimTestHelper.h"

namespace qavix::sim {
namespace {

// The link library calls the controller from its own thread while qavix-sim or a test
// may poll it from another: whole writes and reads must not interleave inside a command.
TEST(Concurrency, WritesAndLevelReadsFromSeveralThreads) {
    test::Sim sim;
    std::atomic<bool> done{false};
    std::atomic<int> badReplies{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            while (!done) {
                const Response levels = sim.get(88);
                const Response flags = sim.get(92);
                const Response onTh = sim.get(67, 0, 3);
                if (levels.text.size() != 768 || flags.text.size() != 96 || onTh.text.size() != 6) {
                    ++badReplies;
                }
            }
        });
    }
    char value[3];
    for (int i = 0; i < 300; ++i) {
        std::snprintf(value, sizeof value, "%02X", 20 + i % 60);
        ASSERT_EQ(sim.op(Op::StartSetting), kOk);
        ASSERT_EQ(sim.put(6, 0, 1, value).error, kOk);
        ASSERT_EQ(sim.op(Op::EnableSetting), kOk);
        ASSERT_EQ(sim.op(Op::Reset), kOk);
    }
    done = true;
    for (auto& t : readers) {
        t.join();
    }
    EXPECT_EQ(badReplies, 0);
    EXPECT_EQ(sim.text(67, 0, 1), value);
    EXPECT_EQ(sim.state(), 0);
}

}  // namespace
}  // namespace qavix::sim
