#pragma once
// qavixctl scan: samples the beam states as the scan monitor page does (the same read, the
// same decoder, the same stop after two failed reads in a row) and writes one row per sample.

#include <string>

#include "DeviceOptions.h"

namespace CLI {
class App;
}

namespace qavix::cli {

constexpr int kDefaultScanSamples = 100;
// Rows for a file are kept until it is written whole; at most about 80 MB with 384 beams.
constexpr int kMaxScanSamples = 100000;

struct ScanArgs {
    int intervalMs = 0;  // 0: the fastest the port's line rate allows
    int samples = kDefaultScanSamples;
    std::string channel = "all";  // "1".."3" or "all"
    std::string csvPath;          // empty: rows on standard output
};

int runScan(const DeviceOptions& options, const ScanArgs& args);

void addScanCommand(CLI::App& app, const DeviceOptions& options, int& exitCode);

}  // namespace qavix::cli
