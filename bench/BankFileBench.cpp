// The bank-file reader on files far larger than any bank file (a few kilobytes), up to the
// reader's 16 MiB cap: what reading one costs in time and memory. A valid bank file is
// followed by 10 MB of padding in a section the reader passes over, in three shapes:
//
//   ShortLines  lines of one character (LF ends), the shape that costs a line-by-line
//               reader the most
//   LongLine    one value of 10 MB
//   ShiftJis    comment lines of full-width characters (each one converted)
//   KeptValue   the 10 MB value in CH1's 22nd entry, which the reader keeps (the file is
//               then refused: the block is too long)
//
// BankFileRead/<shape>: the reading `bank check`, `bank import` and `qavix --edit` do
//   (bankfile::readBankFile: blocks, title and misplaced keys in one pass, then the import's
//   checks). Counter "peak_ratio": the most heap the read held at one time, as a multiple of
//   the file's size (target: a small multiple, at most 3).
//
// The whole `qavixctl bank check` can be measured with /usr/bin/time -f %M; a process
// started from here would carry this process's own size into its peak.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <malloc.h>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include "files/BankFile.h"
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

enum Shape { kShortLines, kLongLine, kShiftJis, kKeptValue };

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
        if (shape == kKeptValue) {
            const size_t ch2 = text.find("[CH2]");
            text.insert(ch2, "SPARE=" + std::string(kPaddingBytes, '0') + "\r\n");
            std::ofstream(file, std::ios::binary) << text;
            return;
        }
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
    const auto shape = static_cast<Shape>(state.range(0));
    const std::string path = files().path(shape);
    const auto size = static_cast<double>(std::filesystem::file_size(path));
    size_t peak = 0;
    for (auto _ : state) {
        g_peak = g_live.load();
        const size_t before = g_live.load();
        SettingsData set;
        const bankfile::BankFileContents file = bankfile::readBankFile(path);
        const bankfile::ImportResult result = bankfile::importBlocks(file.blocks, set);
        benchmark::DoNotOptimize(result);
        if (result.ok() == (shape == kKeptValue)) {
            state.SkipWithError("the padded file does not read as it should");
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
    ->Arg(kKeptValue)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
