// Hooks run as argument lists with their environment, input and time-out.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "FileText.h"
#include "TempDir.h"
#include "WaitUntil.h"
#include "history/HookProcess.h"

namespace qavix::history {
namespace {

namespace fs = std::filesystem;

constexpr std::chrono::milliseconds kGenerous{20000};

TEST(HookProcess, ArgumentsEnvironmentAndInputArriveAsGivenAndNothingRunsFromThem) {
    test::TempDir dir;
    const std::string out = dir.file("out");
    const std::string hostile = "line 7 'x' $(touch " + dir.file("pwned") + ") `id` ;|&";
    const HookRun run =
        runHook({"/bin/sh", "-c",
                 "printf '%s\\n' \"$1\" \"$QAVIX_CONTROLLER\" > \"$2\"; cat >> \"$2\"; exit 3",
                 "hook", hostile, out},
                {{"QAVIX_CONTROLLER", hostile}}, "{\"changes\": []}\n", kGenerous);
    EXPECT_EQ(run.end, HookRun::End::Exited);
    EXPECT_EQ(run.code, 3);
    EXPECT_FALSE(run.ok());
    EXPECT_EQ(describeHookRun(run, kGenerous), "終了コード 3");
    EXPECT_EQ(test::readBytes(out), hostile + "\n" + hostile + "\n{\"changes\": []}\n");
    EXPECT_FALSE(fs::exists(dir.file("pwned")));
}

TEST(HookProcess, AHookThatHangsIsKilledWithItsChildren) {
    test::TempDir dir;
    // The shell ignores SIGTERM and waits on a child that ignores it too: only the group's
    // SIGKILL after the grace ends them.
    const std::string pidFile = dir.file("child");
    const std::chrono::milliseconds timeout{1500};
    const HookRun run =
        runHook({"/bin/sh", "-c", "trap '' TERM; sleep 600 & echo $! > \"$0\"; wait", pidFile}, {},
                "", timeout);
    EXPECT_EQ(run.end, HookRun::End::TimedOut);
    EXPECT_EQ(describeHookRun(run, timeout), "制限時間 1.5 秒を過ぎたため強制終了");
    const std::string child = test::readBytes(pidFile);
    ASSERT_FALSE(child.empty()) << "the hook did not start its child within its time-out";
    // The sleeping child was in the hook's group: it ends (gone, or a zombie of init) soon
    // after the SIGKILL, which the kernel delivers on its own time.
    const std::string stat = "/proc/" + child.substr(0, child.find('\n')) + "/stat";
    std::string state;
    test::waitUntil(
        [&] {
            state = test::readBytes(stat);
            return state.empty() || state.find(") Z") != std::string::npos;
        },
        std::chrono::seconds(10));
    EXPECT_TRUE(state.empty() || state.find(") Z") != std::string::npos) << state;
}

TEST(HookProcess, AHookThatReadsNoInputOrCannotStartIsReported) {
    // More input than a pipe holds, to a hook that never reads it: no SIGPIPE ends the caller.
    const std::string big(1 << 20, 'x');
    const HookRun ignoring = runHook({"/bin/true"}, {}, big, kGenerous);
    EXPECT_TRUE(ignoring.ok()) << describeHookRun(ignoring, kGenerous);

    const HookRun missing = runHook({"/nonexistent/hook"}, {}, "", kGenerous);
    EXPECT_EQ(missing.end, HookRun::End::NotStarted);
    EXPECT_NE(describeHookRun(missing, kGenerous).find("起動できません"), std::string::npos);
    EXPECT_EQ(runHook({}, {}, "", kGenerous).end, HookRun::End::NotStarted);
}

}  // namespace
}  // namespace qavix::history
