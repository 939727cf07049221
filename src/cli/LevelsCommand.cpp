#include "LevelsCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>

#include "DeviceSession.h"
#include "ExitCodes.h"
#include "OutputFile.h"
#include "StopSignals.h"
#include "Translate.h"
#include "model/ErrorLog.h"
#include "monitor/LevelCsv.h"
#include "monitor/LevelReading.h"

namespace qavix::cli {

namespace {

using levels::Operation;

constexpr int kMaxIntervalMs = 24 * 60 * 60 * 1000;

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

int readAll(DeviceSession& session, const std::vector<PageRead>& reads) {
    for (const PageRead& r : reads) {
        if (session.link().request(r.code, r.arg1, r.start, r.count, r.timeoutMs) != kRequestOk) {
            return kRequestFailed;
        }
    }
    return kRequestOk;
}

const char* stateText(chart::BarState state) {
    switch (state) {
        case chart::BarState::Incident:
            return QX_("入光");
        case chart::BarState::Unstable:
            return QX_("不安定状態");
        case chart::BarState::Blocked:
            return QX_("遮光");
        case chart::BarState::Blanked:
            return QX_("ブランキング光軸");
    }
    return "";
}

void printReading(const SettingsData& set, levels::GraphChoice choice, bool ratio) {
    const char* unit = ratio ? "%" : "";
    // A table for people, in the language of the texts; the CSV log keeps its own form.
    std::cout << QX_("光軸") << '\t' << QX_("受光レベル") << '\t' << QX_("ONしきい値") << '\t'
              << QX_("OFFしきい値") << '\t' << QX_("状態") << '\n';
    for (const levels::BarView& v : levels::barViews(set, choice, ratio)) {
        std::cout << "CH" << v.ref.sensor + 1 << '-' << v.ref.beam + 1 << '\t' << v.value << unit
                  << '\t' << v.thresholds.on << unit << '\t' << v.thresholds.off << unit << '\t'
                  << stateText(v.state) << '\n';
    }
    std::cout.flush();
}

std::string rowsOf(const SettingsData& set, int channel, bool ratio) {
    std::string text;
    const std::tm now = localNow();
    for (int s : levels::shownSensors(set, channel)) {
        const ChannelRecord& ch = set.channel(s);
        std::vector<int> values;
        for (int b = 0; b < std::clamp(ch.beamCount, 0, kMaxBeams); ++b) {
            const auto k = static_cast<size_t>(b);
            values.push_back(
                chart::displayedLevel(ratio ? ch.ratioLevel[k] : ch.absLevel[k], ratio));
        }
        text += levels::levelLogRow(now, s + 1, values) + "\r\n";
    }
    return text;
}

struct AppendFailure {
    int error = 0;  // 0: the rows are in the file
    bool partLeft = false;
};

// Appends the rows of one reading whole or not at all: a write cut short (a full disk) is
// taken back to where the file ended, so the log never holds half a row for the next run
// to continue.
AppendFailure appendRows(int fd, const std::string& text) {
    const off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0) {
        return {errno, false};
    }
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            return {error, done > 0 && ::ftruncate(fd, end) != 0};
        }
        done += static_cast<size_t>(n);
    }
    return {};
}

// The wait between readings; false when Ctrl+C or SIGTERM ended it.
bool pause(int ms) {
    return !waitForStop(std::chrono::milliseconds(ms));
}

std::string stoppedAfter(int readings) {
    return i18n::fill(QXN_("levels: %1 回の読込みで中断しました",
                           "levels: %1 回の読込みで中断しました", readings),
                      {std::to_string(readings)});
}

// What the program learns at start-up (connected sensors and their beam counts), then the
// asked-for channel held against it.
int readSensorsAndPickChannel(DeviceSession& session, const LevelsArgs& args, int& channel) {
    if (readAll(session, {PageRead{code::kReadJointNum, 0, 0, 0, levels::kLevelReadTimeoutMs},
                          PageRead{code::kReadBeamCounts, 1, 0, kChannelCount,
                                   levels::kLevelReadTimeoutMs}}) != kRequestOk) {
        return session.failureExit();
    }
    const int connectedSensors = levels::connectedSensors(session.model().working());
    channel = args.channel == "all" ? levels::kAllChannels : std::stoi(args.channel) - 1;
    if (channel != levels::kAllChannels && channel >= connectedSensors) {
        std::cerr << i18n::fill(QXN_("CH%1 は接続されていません（センサ %2 台）",
                                     "CH%1 は接続されていません（センサ %2 台）", connectedSensors),
                                {std::to_string(channel + 1), std::to_string(connectedSensors)})
                  << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

class LevelLog {
  public:
    LevelLog() = default;
    LevelLog(const LevelLog&) = delete;
    LevelLog& operator=(const LevelLog&) = delete;
    ~LevelLog() { close(); }

    bool open(const std::string& path) {
        // Not blocking: a FIFO put in the checked file's place fails here instead of waiting
        // for a reader.
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            std::cerr << i18n::translate(kCsvOpenFailed) << '\n'
                      << i18n::fill(QX_("%1: %2"), {path, std::strerror(errno)}) << '\n';
            return false;
        }
        return true;
    }
    void close() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

  private:
    int m_fd = -1;
};

// One levels run after the channel is known: the thresholds once, then the readings, each
// logged or printed.
struct LevelsRun {
    LevelsRun(DeviceSession& s, const LevelsArgs& a, int ch, LevelLog& l)
        : session(s), args(a), channel(ch), log(l), ratio(!a.absolute), choice{ch, false} {}

    DeviceSession& session;
    const LevelsArgs& args;
    int channel;
    LevelLog& log;
    bool ratio;
    levels::GraphChoice choice;

    // The log is closed before the session reports, which may still talk to the controller.
    int readFailed(int done) {
        log.close();
        return session.link().lastRequestCancelled() ? session.interruptedExit(stoppedAfter(done))
                                                     : session.failureExit();
    }

    bool emit(const SettingsData& set, int done) {
        if (!log.isOpen()) {
            if (done > 1) {
                std::cout << '\n';
            }
            printReading(set, choice, ratio);
            return true;
        }
        const AppendFailure failed = appendRows(log.fd(), rowsOf(set, channel, ratio));
        if (failed.error == 0) {
            return true;
        }
        std::cerr << i18n::fill(failed.partLeft
                                    ? QX_("%1: %2（ファイルは行の途中で終わっています）")
                                    : QX_("%1: %2（ファイルは最後の読込みの行で終わっています）"),
                                {args.csvPath, std::strerror(failed.error)})
                  << '\n';
        log.close();
        return false;
    }

    int run() {
        SettingsData& set = session.model().working();
        // Thresholds and blanking once, as "更新" does; then only the levels.
        if (readAll(session, levels::operationReads(
                                 ratio ? Operation::RefreshRatio : Operation::RefreshAbsolute, set,
                                 choice)) != kRequestOk) {
            return readFailed(0);
        }
        const int count = args.count > 0 ? args.count : (log.isOpen() ? -1 : 1);
        const auto levelReads = levels::operationReads(
            ratio ? Operation::LevelsRatio : Operation::LevelsAbsolute, set, choice);
        int done = 0;
        while (count < 0 || done < count) {
            if (done > 0 && !pause(args.intervalMs)) {
                break;
            }
            if (readAll(session, levelReads) != kRequestOk) {
                return readFailed(done);
            }
            ++done;
            if (!emit(set, done)) {
                return kExitFileError;
            }
        }
        log.close();
        // Only a log that reached its --count is complete; one cut short by Ctrl+C is not.
        if (count < 0 || done < count) {
            return session.interruptedExit(stoppedAfter(done));
        }
        return kExitOk;
    }
};

}  // namespace

void addLevelsCommand(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<LevelsArgs>();
    CLI::App* cmd = app.add_subcommand(
        "levels", QX_("光軸の受光レベルを一度読む、または CSV ファイルに記録する"));
    cmd->add_option("--channel", args->channel, QX_("センサ 1、2、3 または all（既定 1）"))
        ->check(CLI::IsMember({"1", "2", "3", "all"}));
    cmd->add_option("--interval", args->intervalMs, QX_("読込みの間隔 ms（既定 200）"))
        ->check(CLI::Range(0, kMaxIntervalMs));
    cmd->add_option("--count", args->count, QX_("読込み回数（既定 1、--csv では Ctrl+C まで）"))
        ->check(CLI::Range(1, 1 << 30));
    cmd->add_option("--csv", args->csvPath,
                    QX_("センサと読込みごとに1行を追記する: 時刻、CHn、各光軸のレベル"));
    cmd->add_flag("--absolute", args->absolute,
                  i18n::fill(QX_("パーセントではなく絶対値のレベル（最大 %1）"),
                             {std::to_string(kFullScale)}));
    cmd->callback([args, &options, &exitCode] { exitCode = runLevels(options, *args); });
}

int runLevels(const DeviceOptions& options, const LevelsArgs& args) {
    // A log that cannot be kept is refused before the controller is involved.
    if (!args.csvPath.empty() && checkOutputTarget(args.csvPath, kCsvOpenFailed) != kExitOk) {
        return kExitFileError;
    }
    DeviceSession session(options);
    const int connected = session.connect();
    if (connected != kExitOk) {
        return connected;
    }
    int channel = 0;
    if (const int picked = readSensorsAndPickChannel(session, args, channel); picked != kExitOk) {
        return picked;
    }
    LevelLog log;
    if (!args.csvPath.empty() && !log.open(args.csvPath)) {
        return kExitFileError;
    }
    return LevelsRun(session, args, channel, log).run();
}

}  // namespace qavix::cli
