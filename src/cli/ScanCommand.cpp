#include "ScanCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <thread>

#include "DeviceSession.h"
#include "ExitCodes.h"
#include "OutputFile.h"
#include "StopSignals.h"
#include "Translate.h"
#include "comm/ScanReader.h"
#include "comm/ThreadPriority.h"
#include "files/TextFile.h"
#include "model/ScanIntervals.h"
#include "model/ScanRows.h"

namespace qavix::cli {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBeamCountCode = code::kReadBeamCounts;
constexpr int kJointNumCode = code::kReadJointNum;
constexpr const char* kReadFailed = N_("コントローラ読込みできません");
constexpr const char* kScanStopped =
    N_("サンプルの読込みが2回続けて失敗しました。スキャンを中止します。");

// The rows are CSV for other programs: the same in every language.
std::string header(const scan::ScanRows& rows) {
    std::string line = "サンプル,時間(ms)";
    for (int r = 0; r < rows.count(); ++r) {
        const scan::BeamRef b = *rows.beamAt(r);
        line += ",CH" + std::to_string(b.sensor) + "-" + std::to_string(b.beam);
    }
    return line;
}

std::string row(int64_t number, int64_t ms, const std::vector<uint8_t>& cells) {
    std::string line = std::to_string(number) + "," + std::to_string(ms);
    for (uint8_t c : cells) {
        line += c == scan::kCellSet ? ",1" : ",0";
    }
    return line;
}

int channelIndex(const std::string& text, int sensors, std::string& error) {
    if (text == "all") {
        return kAllChannels;
    }
    const int n = text.size() == 1 && text[0] >= '1' && text[0] <= '3' ? text[0] - '0' : 0;
    if (n == 0 || n > sensors) {
        const std::string count = std::to_string(sensors);
        error =
            i18n::fill(QXN_("--channel %1: コントローラのセンサは %2 台です。1..%2 または all を"
                            "選んでください",
                            "--channel %1: コントローラのセンサは %2 台です。1..%2 または all を"
                            "選んでください",
                            sensors),
                       {text, count});
        return -1;
    }
    return n - 1;
}

std::string intervalList(int baud) {
    std::string list;
    for (int ms : scan::intervalsMs(baud)) {
        list += (list.empty() ? "" : ", ") + std::to_string(ms);
    }
    return list;
}

struct Sampled {
    std::vector<std::string> lines;
    int64_t taken = 0;
    bool stopped = false;      // two failed reads in a row
    bool interrupted = false;  // Ctrl+C or a termination request
};

// Samples on a fixed schedule from the start: a late read does not shift the ones after it,
// and ticks missed while a read waited are skipped rather than caught up in a burst.
Sampled sample(DeviceSession& session, const scan::ScanRows& rows, int channel, int intervalMs,
               int samples, bool toStdout) {
    SettingsData& set = session.model().working();
    scan::ScanReader reader(session.link().api());
    const scan::ScanRange range = scan::scanRange(channel, set.general.jointNum);
    std::vector<uint8_t> cells(static_cast<size_t>(rows.count()));
    Sampled out;
    out.lines.push_back(header(rows));
    if (toStdout) {
        std::cout << out.lines.back() << '\n';
    }
    ThreadPriorityBoost priority;
    priority.raise();
    // Ctrl+C ends sampling instead of the process (the session's guard), so that the rows
    // taken so far are kept and the controller's polling is resumed.
    const auto interval = std::chrono::milliseconds(intervalMs);
    const Clock::time_point start = Clock::now();
    Clock::time_point due = start;
    int64_t taken = 0;
    while (taken < samples) {
        std::this_thread::sleep_until(due);
        if (stopRequested()) {
            out.interrupted = true;
            break;
        }
        const Clock::time_point at = Clock::now();
        due += interval;
        if (due < Clock::now()) {
            due = Clock::now();
        }
        const scan::SampleOutcome outcome = reader.sample(range, set);
        if (outcome == scan::SampleOutcome::Stop) {
            out.stopped = true;
            break;
        }
        if (outcome != scan::SampleOutcome::Taken) {
            continue;
        }
        rows.fillColumn(set, cells.data());
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at - start).count();
        out.lines.push_back(row(++taken, ms, cells));
        if (toStdout) {
            // Row by row, so that a program reading the pipe sees each sample as it comes.
            std::cout << out.lines.back() << std::endl;
        }
    }
    out.taken = taken;
    return out;
}

}  // namespace

namespace {

// The beam counts and the sensor count decide the CSV's columns and the channels on offer.
int readLayout(DeviceSession& session) {
    CCommLink& link = session.link();
    if (link.request(kBeamCountCode, 1, 0, kChannelCount) == kRequestOk &&
        link.request(kJointNumCode) == kRequestOk) {
        return kExitOk;
    }
    if (link.lastRequestCancelled()) {
        return session.failureExit();
    }
    const int code = session.failureExit();
    session.host().showMessage(i18n::translate(kReadFailed));
    return code;
}

struct ScanChoice {
    int channel = 0;
    int intervalMs = 0;
    std::string error;  // empty when both choices fit the controller and the line
};

ScanChoice chooseChannelAndInterval(DeviceSession& session, const ScanArgs& args) {
    const SettingsData& set = session.model().working();
    ScanChoice choice;
    choice.channel = channelIndex(args.channel, set.general.jointNum, choice.error);
    const LinkSettings settings = session.link().settings();
    const int baud =
        settings.blocks[static_cast<size_t>(std::clamp(settings.activePort, 0, kPortCount - 1))][0];
    const std::vector<int> offered = scan::intervalsMs(baud);
    choice.intervalMs = args.intervalMs == 0 ? offered.front() : args.intervalMs;
    if (choice.error.empty() &&
        std::find(offered.begin(), offered.end(), choice.intervalMs) == offered.end()) {
        choice.error = i18n::fill(
            QX_("--interval %1: %2 baud で選べる間隔は %3 ms です"),
            {std::to_string(choice.intervalMs), std::to_string(baud), intervalList(baud)});
    }
    return choice;
}

int samplingExit(DeviceSession& session, const Sampled& sampled, bool resumed) {
    if (sampled.stopped) {
        session.host().showMessage(i18n::translate(kScanStopped));
        return kExitConnection;
    }
    if (!resumed) {
        return session.failureExit();
    }
    if (sampled.interrupted) {
        return session.interruptedExit(
            i18n::fill(QXN_("scan: %1 サンプルで中断しました", "scan: %1 サンプルで中断しました",
                            sampled.taken),
                       {std::to_string(sampled.taken)}));
    }
    return kExitOk;
}

}  // namespace

int runScan(const DeviceOptions& options, const ScanArgs& args) {
    // Rows that could not be kept are refused before the controller is sampled for them.
    if (!args.csvPath.empty()) {
        const int target = checkOutputTarget(args.csvPath);
        if (target != kExitOk) {
            return target;
        }
    }
    DeviceSession session(options);
    const int connected = session.connect();
    if (connected != kExitOk) {
        return connected;
    }
    const int layout = readLayout(session);
    if (layout != kExitOk) {
        return layout;
    }
    const ScanChoice choice = chooseChannelAndInterval(session, args);
    if (!choice.error.empty()) {
        std::cerr << choice.error << '\n';
        return kExitUsage;
    }
    CCommLink& link = session.link();
    const scan::ScanRows rows(session.model().working(), choice.channel);
    // The samples are read on this thread straight from the library; the worker's idle poll
    // must not call it meanwhile.
    if (link.suspendPolling() != kRequestOk) {
        return session.failureExit();
    }
    const Sampled sampled = sample(session, rows, choice.channel, choice.intervalMs, args.samples,
                                   args.csvPath.empty());
    // Resuming checks the status at once: a pulled cable is reported here.
    const bool resumed = link.resumePolling() == kRequestOk;
    const int code = samplingExit(session, sampled, resumed);
    if (!args.csvPath.empty()) {
        // What was sampled before a stop or an interruption is kept.
        const fileio::WriteResult written = textfile::writeLines(args.csvPath, sampled.lines);
        if (!written.ok) {
            std::cerr << written.error << '\n';
            return code == kExitOk ? kExitFileError : code;
        }
    }
    return code;
}

void addScanCommand(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<ScanArgs>();
    CLI::App* scan = app.add_subcommand(
        "scan",
        QX_("スキャンモニタと同じように全光軸の状態をサンプルし、1サンプルを CSV の1行にする"));
    scan->add_option("--interval", args->intervalMs,
                     i18n::fill(QX_("サンプル間隔 ms: %1..%2、%3 ms 刻み。ポートの通信速度で"
                                    "可能な間隔より速くはできない（既定: 最も速い間隔）"),
                                {std::to_string(scan::kFastestIntervalMs),
                                 std::to_string(scan::kSlowestIntervalMs),
                                 std::to_string(scan::kIntervalStepMs)}))
        ->check(CLI::Range(scan::kFastestIntervalMs, scan::kSlowestIntervalMs));
    scan->add_option("--samples", args->samples, QX_("サンプル数（既定 100）"))
        ->check(CLI::Range(1, kMaxScanSamples));
    scan->add_option("--channel", args->channel, QX_("センサ 1..3 または all（既定）"))
        ->check(CLI::IsMember({"1", "2", "3", "all"}));
    scan->add_option("--csv", args->csvPath, QX_("行を標準出力ではなくこのファイルに書く"));
    scan->callback([args, &options, &exitCode] { exitCode = runScan(options, *args); });
}

}  // namespace qavix::cli
