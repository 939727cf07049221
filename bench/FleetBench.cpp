// qavixctl fleet backup of four controllers, each on a line of its own (qavix-sim on a
// pseudo-terminal with the 9600 baud line model), against the slowest of the same four read
// alone. The lines are read side by side, so the whole should take about as long as the
// slowest one, not the sum.
//
// FourLinesAgainstSlowestSingle: counters "slowest_single_s" and "parallel_s" in seconds and
// "ratio" = parallel / slowest single; the target is <= 1.2. One iteration reads the four
// controllers alone and then together (current values and Bank 1 each), about a minute and a
// half at 9600 baud.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "SimProcess.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kLineRate = "9600";
// Four sensor sets, so the four reads are not all alike.
const std::vector<std::string> kSensors = {"40,32", "128", "8,16,24", "64,64,64"};

// Runs qavixctl with `args`; its output goes to /dev/null. The exit code, or -1.
int runQuietly(const std::vector<std::string>& args) {
    std::vector<std::string> all = {QAVIXCTL};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, QAVIXCTL, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (rc != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Seconds one backup of `plant` takes; negative when it failed.
double timedBackup(const std::string& plant, const std::string& out) {
    const auto start = Clock::now();
    const int code = runQuietly({"fleet", "backup", plant, "--out", out, "--quiet"});
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return code == 0 ? seconds : -1;
}

std::string section(size_t i, const std::string& device) {
    return "[line" + std::to_string(i + 1) + "]\nport = " + device + "\nunit = 0\nbanks = 1\n";
}

void FourLinesAgainstSlowestSingle(benchmark::State& state) {
    std::vector<std::unique_ptr<qavix::test::SimProcess>> sims;
    for (const std::string& sensors : kSensors) {
        sims.push_back(std::make_unique<qavix::test::SimProcess>(
            std::vector<std::string>{"--sensors", sensors, "--line-rate", kLineRate}));
        if (sims.back()->device().empty()) {
            state.SkipWithError("qavix-sim did not start");
            return;
        }
    }
    std::string pattern = (fs::temp_directory_path() / "qavix-fleet-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path dir(pattern);
    std::string all;
    for (size_t i = 0; i < sims.size(); ++i) {
        std::ofstream(dir / ("single" + std::to_string(i) + ".ini"))
            << section(i, sims[i]->device());
        all += section(i, sims[i]->device());
    }
    std::ofstream(dir / "four.ini") << all;

    double slowest = 0;
    double parallel = 0;
    for (auto _ : state) {
        slowest = 0;
        for (size_t i = 0; i < sims.size(); ++i) {
            const double t = timedBackup((dir / ("single" + std::to_string(i) + ".ini")).string(),
                                         (dir / "out").string());
            if (t < 0) {
                state.SkipWithError("a single backup failed");
                break;
            }
            slowest = std::max(slowest, t);
        }
        parallel = timedBackup((dir / "four.ini").string(), (dir / "out").string());
        if (parallel < 0) {
            state.SkipWithError("the backup of four failed");
            break;
        }
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    state.counters["slowest_single_s"] = slowest;
    state.counters["parallel_s"] = parallel;
    state.counters["ratio"] = slowest > 0 ? parallel / slowest : 0;
}

BENCHMARK(FourLinesAgainstSlowestSingle)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
