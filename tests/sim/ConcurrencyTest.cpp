#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "SimTestHelper.h"

namespace qavix::sim {
namespace {

// The link library calls the controller from its own thread while qavix-sim or a test
// may poll it from another: whole writes and reads must not interleave inside a command.
TEST(Concurrency, WritesAndLevelReadsFromSeveralThreads) {
    Options o = test::threeSensors();
    Controller controller(o);
    auto run = [&](Op op, int id = 0, int start = 0, int count = 0, std::string text = {}) {
        Command c;
        c.op = op;
        c.id = id;
        c.start = start;
        c.count = count;
        c.text = std::move(text);
        return controller.execute(c);
    };
    std::atomic<bool> done{false};
    std::atomic<int> badReplies{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            while (!done) {
                const Response levels = run(Op::GetParameter, 88, 0, 0);
                const Response flags = run(Op::GetParameter, 92, 0, 0);
                const Response onTh = run(Op::GetParameter, 67, 0, 3);
                if (levels.text.size() != 768 || flags.text.size() != 96 || onTh.text.size() != 6) {
                    ++badReplies;
                }
            }
        });
    }
    char value[3];
    for (int i = 0; i < 300; ++i) {
        std::snprintf(value, sizeof value, "%02X", 20 + i % 60);
        ASSERT_EQ(run(Op::StartSetting).error, kOk);
        ASSERT_EQ(run(Op::PutParameter, 6, 0, 1, value).error, kOk);
        ASSERT_EQ(run(Op::EnableSetting).error, kOk);
        ASSERT_EQ(run(Op::Reset).error, kOk);
    }
    done = true;
    for (auto& t : readers) {
        t.join();
    }
    EXPECT_EQ(badReplies, 0);
    EXPECT_EQ(run(Op::GetParameter, 67, 0, 1).text, value);
    EXPECT_EQ(controller.state(), 0);
}

}  // namespace
}  // namespace qavix::sim
