#include "ReportCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <ctime>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "BankLoading.h"
#include "ExitCodes.h"
#include "OutputFile.h"
#include "Translate.h"
#include "report/SettingsReport.h"

namespace qavix::cli {

namespace {

constexpr const char* kControllerBlock = "ctrl";
// Sensor blocks are named "ch1".."ch3"; the digit is the channel number.
constexpr const char* kSensorBlocks[] = {"ch1", "ch2", "ch3"};
static_assert(std::size(kSensorBlocks) == kChannelCount);

struct ReportOptions {
    std::string path;
    bool extended = false;
    std::vector<std::string> blocks;  // empty: the controller and every connected sensor
    std::string out;                  // empty: UTF-8 to standard output
};

std::vector<std::string> blockNames() {
    std::vector<std::string> names{kControllerBlock};
    names.insert(names.end(), std::begin(kSensorBlocks), std::end(kSensorBlocks));
    return names;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// `names` were checked against blockNames() when the command line was parsed; the check
// ignores case but passes the names on as typed.
report::ReportSelection selectionFromNames(const std::vector<std::string>& names) {
    report::ReportSelection selection;
    selection.controller = false;
    for (const std::string& typed : names) {
        const std::string name = lowerCase(typed);
        if (name == kControllerBlock) {
            selection.controller = true;
        }
        for (size_t ch = 0; ch < std::size(kSensorBlocks); ++ch) {
            if (name == kSensorBlocks[ch]) {
                selection.sensors[ch] = true;
            }
        }
    }
    return selection;
}

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

int writeReport(const report::ReportLines& lines, const std::string& out) {
    if (out.empty()) {
        for (const std::string& line : lines) {
            std::cout << line << '\n';
        }
        return kExitOk;
    }
    return writeTextOutput(out, report::joinReportLines(lines));
}

int runReport(const ReportOptions& options) {
    if (!options.out.empty()) {
        const int target = checkOutputTarget(options.out);
        if (target != kExitOk) {
            return target;
        }
    }
    const LoadedSet imported = importBankFile(options.path);
    if (imported.exitCode != kExitOk) {
        std::cerr << imported.message << '\n';
        if (!imported.reason.empty()) {
            std::cerr << imported.reason << '\n';
        }
        return imported.exitCode;
    }
    const report::ReportSelection selection =
        options.blocks.empty() ? report::defaultReportSelection(imported.set.general.jointNum)
                               : selectionFromNames(options.blocks);
    return writeReport(
        report::buildSettingsReport(imported.set, selection, options.extended, localNow()),
        options.out);
}

}  // namespace

void addReportCommand(CLI::App& bank, int& exitCode) {
    auto options = std::make_shared<ReportOptions>();
    CLI::App* report =
        bank.add_subcommand("report", QX_("FILE の設定値の設定内容一覧を表示する（UTF-8）。--out "
                                          "で Shift-JIS のテキストファイルに"
                                          "書く。FILE は 'bank check' と同じように読む。終了コード "
                                          "0 完了、1 不可、2 FILE を開けないか"
                                          "出力を書けない"));
    report->add_option("FILE", options->path, QX_("Bankファイル"))->required();
    report->add_flag(
        "--extended", options->extended,
        QX_("拡張モードの節（オプション設定、センサのしきい値、機能設定とブランキング光軸）も"
            "含める"));
    report
        ->add_option(
            "--blocks", options->blocks,
            QX_("一覧にするブロックをカンマ区切りで: ctrl, ch1, ch2, ch3（既定: ctrl と接続"
                "されている全センサ）"))
        ->delimiter(',')
        ->check(CLI::IsMember(blockNames(), CLI::ignore_case));
    report->add_option(
        "--out", options->out,
        QX_("一覧を Shift-JIS、改行 CR LF でこのファイルに書き、まとめて置き換える"
            "（'-': そのバイト列を標準出力へ）。デバイス、FIFO、読み取り専用のファイル"
            "は受け付けない"));
    report->callback([options, &exitCode] { exitCode = runReport(*options); });
}

}  // namespace qavix::cli
