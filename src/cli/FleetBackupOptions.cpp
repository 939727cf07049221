#include "FleetBackupOptions.h"

#include <iostream>
#include <optional>

#include "ExitCodes.h"
#include "IniText.h"
#include "Translate.h"
#include "fleet/LinePlan.h"
#include "history/BackupConfig.h"

namespace qavix::cli {

namespace {

bool numberValue(const std::string& text, double& out) {
    try {
        size_t used = 0;
        out = std::stod(text, &used);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

// One key of the file into `args`, unless the command line gave it.
std::string applyValue(const CLI::App& backup, const history::ConfigValue& v,
                       FleetBackupArgs& args) {
    BackupFollowUpOptions& f = args.followUp;
    const auto given = [&](const char* option) { return backup.count(option) > 0; };
    const auto text = [&](const char* option, std::string& field) {
        if (!given(option)) {
            field = v.value;
        }
        return std::string();
    };
    const auto command = [&](const char* option, std::vector<std::string>& field) {
        std::string error;
        const auto words = history::splitCommandWords(v.raw, error);
        if (!words) {
            return v.key + ": " + error;
        }
        if (!given(option)) {
            field = *words;
        }
        return std::string();
    };
    if (v.key == "plant") {
        return text("PLANT", args.plant);
    }
    if (v.key == "out" || v.key == "git" || v.key == "push" || v.key == "metrics") {
        std::string& field = v.key == "out"    ? args.out
                             : v.key == "git"  ? f.git
                             : v.key == "push" ? f.push
                                               : f.metrics;
        return text(("--" + v.key).c_str(), field);
    }
    if (v.key == "on-change") {
        return command("--on-change", f.onChange);
    }
    if (v.key == "on-failure") {
        return command("--on-failure", f.onFailure);
    }
    if (v.key == "quiet") {
        const std::optional<bool> on = ini::truthValue(v.value);
        if (!on) {
            return i18n::fill(QX_("quiet には true か false を指定してください（指定: \"%1\"）"),
                              {v.value});
        }
        args.quiet = given("--quiet") ? args.quiet : *on;
        return {};
    }
    if (v.key == "jobs" || v.key == "hook-timeout") {
        double number = 0;
        if (!numberValue(v.value, number)) {
            return i18n::fill(QX_("%1 には数値を指定してください（指定: \"%2\"）"),
                              {v.key, v.value});
        }
        if (v.key == "hook-timeout" && !given("--hook-timeout")) {
            f.hookTimeout = number;
        } else if (v.key == "jobs" && !given("--jobs")) {
            if (number < 1 || number > fleet::kMaxJobs || number != static_cast<int>(number)) {
                return i18n::fill(QX_("jobs には 1 から %1 までの整数を指定してください"),
                                  {std::to_string(fleet::kMaxJobs)});
            }
            args.jobs = static_cast<int>(number);
        }
        return {};
    }
    return i18n::fill(QX_("キー \"%1\" は使えません（使えるキー: plant、out、git、push、"
                          "metrics、on-change、on-failure、hook-timeout、jobs、quiet）"),
                      {v.key});
}

}  // namespace

void addBackupFollowUpOptions(CLI::App& backup, BackupFollowUpOptions& options) {
    backup.add_option("--git", options.git,
                      QX_("実行をこの git リポジトリ（なければ作る）に記録する: 設定が変わった"
                          "ときにコミットを1つ"));
    backup.add_option("--push", options.push,
                      QX_("実行の後、リポジトリのブランチをこのリモートへ push する"));
    backup.add_option("--metrics", options.metrics,
                      QX_("実行の Prometheus メトリクスを FILE に書く（node-exporter の "
                          "textfile）"));
    backup
        .add_option("--on-change", options.onChange,
                    QX_("設定が変わったコントローラごとに CMD [ARG...] を1回実行する（引数の"
                        "リスト、項目は標準入力に JSON で）。PLANT の後に指定する"))
        ->expected(1, CLI::detail::expected_max_vector_size);
    backup
        .add_option("--on-failure", options.onFailure,
                    QX_("失敗したコントローラごとに CMD [ARG...] を1回実行する。PLANT の後に"
                        "指定する"))
        ->expected(1, CLI::detail::expected_max_vector_size);
    backup.add_option("--hook-timeout", options.hookTimeout,
                      QX_("フックを強制終了するまでの秒数（既定 30）"));
    backup.add_option("--config", options.config,
                      QX_("PLANT とこれらのオプションを FILE から読む（KEY = VALUE の行。"
                          "コマンドラインが優先）"));
}

int completeBackupArgs(const CLI::App& backup, FleetBackupArgs& args) {
    const auto usage = [](const std::string& text) {
        std::cerr << i18n::fill(QX_("fleet backup: %1"), {text}) << '\n';
        return kExitUsage;
    };
    if (!args.followUp.config.empty()) {
        std::string error;
        const auto values = history::readBackupConfig(args.followUp.config, error);
        if (!values) {
            return usage(error);
        }
        for (const history::ConfigValue& v : *values) {
            if (const std::string why = applyValue(backup, v, args); !why.empty()) {
                return usage(args.followUp.config + ":" + std::to_string(v.line) + ": " + why);
            }
        }
    }
    if (args.plant.empty()) {
        return usage(QX_("PLANT を指定してください（または --config の plant =）"));
    }
    if (args.out.empty() && args.followUp.git.empty()) {
        return usage(QX_("--out DIR、--git REPO またはその両方を指定してください"));
    }
    if (const std::string why = followUpProblem(args.followUp); !why.empty()) {
        return usage(why);
    }
    return kExitOk;
}

}  // namespace qavix::cli
