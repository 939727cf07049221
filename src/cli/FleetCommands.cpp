#include "FleetCommands.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "DeviceOptions.h"
#include "ExitCodes.h"
#include "FleetBackup.h"
#include "FleetBackupOptions.h"
#include "FleetCheck.h"
#include "FleetHistoryCommands.h"
#include "FleetRestore.h"
#include "Translate.h"
#include "fleet/LinePlan.h"

namespace qavix::cli {

namespace {

std::string jobsHelp() {
    return i18n::fill(QX_("同時に読む回線の数（既定: 回線ごとに1つ、最大 %1）"),
                      {std::to_string(fleet::kMaxJobs)});
}

void addBackup(CLI::App& fleet, int& exitCode) {
    auto args = std::make_shared<FleetBackupArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "backup",
        QX_("全コントローラの現在値と選んだバンクを manifest.json と共に "
            "DIR/YYYYMMDD-HHMMSS/NAME/ にBankファイルとして保存する、または git リポジトリに"
            "記録する（両方も可）。終了コード 0 全て保存、1 保存できないものがあるか push に失敗、"
            "2 プラント、DIR、リポジトリまたはメトリクスファイルを使えない、130 中断"));
    cmd->add_option("PLANT", args->plant, QX_("プラントファイル（docs/plant.md 参照）"));
    cmd->add_option("--out", args->out, QX_("バックアップフォルダを作るフォルダ"));
    cmd->add_option("--jobs", args->jobs, jobsHelp())->check(CLI::Range(1, fleet::kMaxJobs));
    cmd->add_flag("--quiet,-q", args->quiet,
                  QX_("うまくいかなかったことだけを表示する（cron 用）"));
    addBackupFollowUpOptions(*cmd, args->followUp);
    cmd->callback([cmd, args, &exitCode] {
        exitCode = completeBackupArgs(*cmd, *args);
        if (exitCode == kExitOk) {
            exitCode = runFleetBackup(*args);
        }
    });
}

void addCheck(CLI::App& fleet, int& exitCode) {
    auto args = std::make_shared<FleetCheckArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "check",
        QX_("ゴールデンファイルのある全コントローラの現在値をそのファイルと項目ごとに比べる。"
            "終了コード 0 全て同じ、1 違うものがある、2 ゴールデンファイルを読めない、"
            "3 接続できないものがある"));
    cmd->add_option("PLANT", args->plant, QX_("プラントファイル（docs/plant.md 参照）"))
        ->required();
    cmd->add_option("--jobs", args->jobs, jobsHelp())->check(CLI::Range(1, fleet::kMaxJobs));
    cmd->add_flag("--quiet,-q", args->quiet, QX_("同じでないコントローラだけを表示する"));
    cmd->add_flag("--json", args->json, QX_("行の代わりに1つの JSON ドキュメントを表示する"));
    cmd->callback([args, &exitCode] { exitCode = runFleetCheck(*args); });
}

void addRestore(CLI::App& fleet, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<FleetRestoreArgs>();
    CLI::App* cmd = fleet.add_subcommand(
        "restore",
        QX_("バックアップしたコントローラ NAME の現在値を、bank import と同じように確認と"
            "照合をしてコントローラに書き戻す。先に確認を求める（--yes で応答）"));
    cmd->add_option("PLANT", args->plant, QX_("プラントファイル（docs/plant.md 参照）"))
        ->required();
    cmd->add_option("NAME", args->name, QX_("コントローラ（PLANT のセクション名）"))->required();
    cmd->add_option(
           "--from", args->from,
           QX_("バックアップフォルダ（DIR/YYYYMMDD-HHMMSS）またはその中の NAME のフォルダ"))
        ->required();
    cmd->callback([args, &options, &exitCode] { exitCode = runFleetRestore(options, *args); });
}

}  // namespace

void addFleetCommands(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    CLI::App* fleet = app.add_subcommand(
        "fleet",
        QX_("プラントファイルに記載の複数コントローラを一度に: backup、check、restore、history、"
            "diff"));
    fleet->require_subcommand(1);
    addBackup(*fleet, exitCode);
    addCheck(*fleet, exitCode);
    addRestore(*fleet, options, exitCode);
    addFleetHistoryCommands(*fleet, exitCode);
}

}  // namespace qavix::cli
