// The bank-file reader on files far larger than any bank file (a few kilobytes), up to the
// reader's 16 MiB cap: what reading one costs in time and memory. A valid bank file is
// followed by 10 MB of padding in a section the reader passes over, in three shapes:
//
//   ShortLines  lines of one character (LF ends), the shape that costs a line-by-line
//               reader the most
//   LongLine    one value of 10 MB
//   ShiftJis    comment lines of full-width characters (each one converted)
//
// BankFileRead/<shape>: bankfile::importFile, what `bank check`, `bank import` and
//   `qavix --edit` run. Counter "peak_ratio": the most heap the read held at one time,
//   as a multiple of the file's size (target: a small multiple, at most 4).
// BankCheckProcess/<shape>: `qavixctl bank check FILE` as a process. Counter "rss_ratio":
//   its peak resident size, program and libraries included, as a multiple of the file.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <malloc.h>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include "files/BankImport.h"

namespace {

// Heap held by this process through operator new, and the most it held since the last reset.
std::atomic<size_t> g_live{0};
std::atomic<size_t> g_peak{0};

void noteAllocated(void* p) {
    if (p == nullptr) {
        return;
    }
    const size_t now = g_live += malloc_usable_size(p);
    size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

void noteFreed(void* p) {
    if (p != nullptr) {
        g_live -= malloc_usable_size(p);
    }
}

}  // namespace

// The replacements pair malloc with free themselves; GCC sees only the free in delete.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    noteAllocated(p);
    return p;
}
void operator delete(void* p) noexcept {
    noteFreed(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    noteFreed(p);
    std::free(p);
}

namespace {

using namespace qavix;

constexpr size_t kPaddingBytes = 10 * 1000 * 1000;

enum Shape { kShortLines, kLongLine, kShiftJis };

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A private folder for the generated files, removed when the program ends.
class Files {
  public:
    Files() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qavix-bench-XXXXXX");
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
        }
    }
    ~Files() {
        if (!m_folder.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(m_folder, ec);
        }
    }
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    std::string path(Shape shape) {
        const std::string file = m_folder + "/padded" + std::to_string(shape) + ".qbk";
        if (!std::filesystem::exists(file)) {
            write(file, shape);
        }
        return file;
    }

  private:
    static void write(const std::string& file, Shape shape) {
        std::string text = readWhole(QAVIX_BANK_SAMPLE);
        text += "[PADDING]\r\n";
        const size_t end = text.size() + kPaddingBytes;
        if (shape == kLongLine) {
            text += "A=" + std::string(kPaddingBytes - 4, '0') + "\r\n";
        }
        // "; " then full-width "テスト" in Shift-JIS, repeated.
        const std::string sjisLine = "; \x83\x65\x83\x58\x83\x67\x83\x65\x83\x58\x83\x67\r\n";
        while (text.size() < end) {
            text += shape == kShortLines ? std::string("A\n") : sjisLine;
        }
        std::ofstream(file, std::ios::binary) << text;
    }

    std::string m_folder;
};

Files& files() {
    static Files f;
    return f;
}

void BankFileRead(benchmark::State& state) {
    const std::string path = files().path(static_cast<Shape>(state.range(0)));
    const auto size = static_cast<double>(std::filesystem::file_size(path));
    size_t peak = 0;
    for (auto _ : state) {
        g_peak = g_live.load();
        const size_t before = g_live.load();
        SettingsData set;
        const bankfile::ImportResult result = bankfile::importFile(path, set);
        benchmark::DoNotOptimize(result);
        if (!result.ok()) {
            state.SkipWithError("the padded file does not read");
            return;
        }
        peak = std::max(peak, g_peak.load() - before);
    }
    state.counters["peak_ratio"] = static_cast<double>(peak) / size;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}
BENCHMARK(BankFileRead)
    ->Arg(kShortLines)
    ->Arg(kLongLine)
    ->Arg(kShiftJis)
    ->Unit(benchmark::kMillisecond);

void BankCheckProcess(benchmark::State& state) {
    const std::string path = files().path(static_cast<Shape>(state.range(0)));
    const auto size = static_cast<double>(std::filesystem::file_size(path));
    long peakKiB = 0;
    for (auto _ : state) {
        const char* argv[] = {QAVIXCTL_PATH, "bank", "check", path.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, QAVIXCTL_PATH, &actions, nullptr,
                                   const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            state.SkipWithError("qavixctl does not start");
            return;
        }
        int status = 0;
        rusage usage{};
        ::wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("bank check refused the padded file");
            return;
        }
        peakKiB = std::max(peakKiB, usage.ru_maxrss);
    }
    state.counters["rss_ratio"] = static_cast<double>(peakKiB) * 1024.0 / size;
    state.counters["rss_MB"] = static_cast<double>(peakKiB) * 1024.0 / 1e6;
}
BENCHMARK(BankCheckProcess)
    ->Arg(kShortLines)
    ->Arg(kLongLine)
    ->Arg(kShiftJis)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
