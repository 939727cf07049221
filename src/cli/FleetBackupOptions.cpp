#include "FleetBackupOptions.h"

#include <iostream>
#include <optional>

#include "ExitCodes.h"
#include "IniText.h"
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
            return "quiet takes true or false, not \"" + v.value + "\"";
        }
        args.quiet = given("--quiet") ? args.quiet : *on;
        return {};
    }
    if (v.key == "jobs" || v.key == "hook-timeout") {
        double number = 0;
        if (!numberValue(v.value, number)) {
            return v.key + " takes a number, not \"" + v.value + "\"";
        }
        if (v.key == "hook-timeout" && !given("--hook-timeout")) {
            f.hookTimeout = number;
        } else if (v.key == "jobs" && !given("--jobs")) {
            if (number < 1 || number > fleet::kMaxJobs || number != static_cast<int>(number)) {
                return "jobs takes a whole number from 1 to " + std::to_string(fleet::kMaxJobs);
            }
            args.jobs = static_cast<int>(number);
        }
        return {};
    }
    return "unknown key \"" + v.key +
           "\" (known: plant, out, git, push, metrics, on-change, on-failure, hook-timeout, "
           "jobs, quiet)";
}

}  // namespace

void addBackupFollowUpOptions(CLI::App& backup, BackupFollowUpOptions& options) {
    backup.add_option("--git", options.git,
                      "record the run in this git repository (made when missing): one commit "
                      "when a setting changed");
    backup.add_option("--push", options.push,
                      "push the repository's branch to this remote after the run");
    backup.add_option("--metrics", options.metrics,
                      "write the Prometheus metrics of the run to FILE (node-exporter textfile)");
    backup
        .add_option("--on-change", options.onChange,
                    "run CMD [ARG...] once for each controller whose settings changed (argument "
                    "list, fields as JSON on standard input); give it after PLANT")
        ->expected(1, CLI::detail::expected_max_vector_size);
    backup
        .add_option("--on-failure", options.onFailure,
                    "run CMD [ARG...] once for each controller that failed; give it after PLANT")
        ->expected(1, CLI::detail::expected_max_vector_size);
    backup.add_option("--hook-timeout", options.hookTimeout,
                      "seconds a hook may run before it is killed (default 30)");
    backup.add_option("--config", options.config,
                      "read PLANT and these options from FILE (KEY = VALUE lines; the command "
                      "line wins)");
}

int completeBackupArgs(const CLI::App& backup, FleetBackupArgs& args) {
    const auto usage = [](const std::string& text) {
        std::cerr << "fleet backup: " << text << '\n';
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
        return usage("give PLANT (or plant = in --config)");
    }
    if (args.out.empty() && args.followUp.git.empty()) {
        return usage("give --out DIR, --git REPO or both");
    }
    if (const std::string why = followUpProblem(args.followUp); !why.empty()) {
        return usage(why);
    }
    return kExitOk;
}

}  // namespace qavix::cli
