#include "DeviceCommands.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "BankTransfer.h"
#include "ClockCommand.h"
#include "DeviceOptions.h"
#include "ErrorLogCommand.h"
#include "InfoCommand.h"
#include "Translate.h"

namespace qavix::cli {

namespace {

constexpr int kLastSet = 4;              // 0 current values, 1..4 banks
constexpr size_t kMaxTitleLength = 256;  // characters, as the export dialog allows

size_t characterCount(const std::string& utf8) {
    size_t n = 0;
    for (unsigned char c : utf8) {
        n += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

const CLI::Validator kTitleLength(
    [](std::string& title) {
        return characterCount(title) <= kMaxTitleLength
                   ? std::string()
                   : i18n::fill(QX_("タイトルは %1 文字までです"),
                                {std::to_string(kMaxTitleLength)});
    },
    "TEXT");

struct ExportArgs {
    int set = 0;
    std::string path;
    std::string title;
};

struct ImportArgs {
    std::string path;
    int target = 0;
};

void addExport(CLI::App& bank, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<ExportArgs>();
    CLI::App* cmd = bank.add_subcommand(
        "export", QX_("コントローラから設定 N（0 現在値、1..4 Bank 1..4）を読み、FILE に書く"));
    cmd->add_option("N", args->set, QX_("0 現在値、1..4 Bank"))
        ->required()
        ->check(CLI::Range(0, kLastSet));
    cmd->add_option("FILE", args->path, QX_("書き出すBankファイル（'-': 標準出力）"))->required();
    cmd->add_option("--title", args->title, QX_("ファイルに書くタイトル"))->check(kTitleLength);
    cmd->callback([args, &options, &exitCode] {
        exitCode = runExport(options, args->set, args->path, args->title);
    });
}

void addImport(CLI::App& bank, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<ImportArgs>();
    CLI::App* cmd = bank.add_subcommand(
        "import", QX_("FILE をコントローラと照らし合わせて設定 N に書き、読み返して確かめる"));
    cmd->add_option("FILE", args->path, QX_("読み込むBankファイル"))->required();
    cmd->add_option("--to", args->target, QX_("0 現在値、1..4 Bank"))
        ->required()
        ->check(CLI::Range(0, kLastSet));
    cmd->callback(
        [args, &options, &exitCode] { exitCode = runImport(options, args->path, args->target); });
}

}  // namespace

void addDeviceCommands(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    CLI::App* info = app.add_subcommand(
        "info", QX_("コントローラの形式、バージョン、ID、シリアルNo.とセンサを表示する"));
    info->callback([&options, &exitCode] { exitCode = runInfo(options); });

    auto csvPath = std::make_shared<std::string>();
    CLI::App* errors =
        app.add_subcommand("errors", QX_("コントローラのエラーログ（20件）を表示する"));
    errors->add_option("--csv", *csvPath,
                       QX_("ログを CSV ファイルにも保存する（'-': 表の代わりに CSV を表示する）"));
    errors->callback([csvPath, &options, &exitCode] { exitCode = runErrors(options, *csvPath); });

    auto sync = std::make_shared<bool>(false);
    CLI::App* clock = app.add_subcommand("clock", QX_("コントローラの時計を表示する"));
    clock->add_flag("--sync", *sync, QX_("先にコントローラの時計を PC の時刻に合わせる"));
    clock->callback([sync, &options, &exitCode] { exitCode = runClock(options, *sync); });

    CLI::App* bank = app.get_subcommand("bank");
    bank->description(
        QX_("Bankファイル: 確認、表示、比較、コントローラからのエクスポートと"
            "コントローラへのインポート"));
    addExport(*bank, options, exitCode);
    addImport(*bank, options, exitCode);
}

}  // namespace qavix::cli
