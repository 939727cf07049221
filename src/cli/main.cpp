// qavixctl: the command-line client on the Qt-free core. Each group of commands lives in a
// file of its own and registers itself here.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "BankCommands.h"
#include "CliLanguage.h"
#include "DeviceCommands.h"
#include "DeviceOptions.h"
#include "ExitCodes.h"
#include "FleetCommands.h"
#include "JournalCommands.h"
#include "LevelsCommand.h"
#include "MonitorCommand.h"
#include "PlantCommands.h"
#include "PortSelection.h"
#include "ProgramVersion.h"
#include "ReportCommand.h"
#include "ScanCommand.h"
#include "Translate.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // Before any text is made: the help texts are made in the chosen language.
    qavix::cli::setUpLanguage(args, qavix::cli::kSettingsFileName);
    CLI::App app{QX_("qavixctl: Qavix のエリアスキャナ用コマンドラインクライアント")};
    qavix::cli::speakInHelp(app);
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("qavixctl ") + qavix::programVersion(),
                         QX_("バージョンを表示して終了する"));
    int exitCode = qavix::cli::kExitOk;
    qavix::cli::DeviceOptions deviceOptions;
    // Before any subcommand exists, so that every one of them hands these options up.
    qavix::cli::addDeviceOptions(app, deviceOptions);
    qavix::cli::addLanguageOption(app);
    CLI::App* bank = qavix::cli::addBankCommands(app, exitCode);
    qavix::cli::addReportCommand(*bank, exitCode);
    qavix::cli::addDeviceCommands(app, deviceOptions, exitCode);
    qavix::cli::addScanCommand(app, deviceOptions, exitCode);
    qavix::cli::addLevelsCommand(app, deviceOptions, exitCode);
    qavix::cli::addFleetCommands(app, deviceOptions, exitCode);
    qavix::cli::addMonitorCommand(app, deviceOptions, exitCode);
    qavix::cli::addPlantCommands(app, exitCode);
    qavix::cli::addJournalCommands(app, deviceOptions, exitCode);
    qavix::cli::speakInSubcommandHelp(app);
    app.name(argc > 0 ? argv[0] : "qavixctl");
    // A service's options come from a file; they are read as if given on the command line.
    std::string configError;
    if (!qavix::cli::expandMonitorConfig(args, configError)) {
        std::cerr << qavix::i18n::fill(QX_("monitor: %1"), {configError}) << '\n';
        return qavix::cli::kExitUsage;
    }
    // CLI11 takes the arguments last first.
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? qavix::cli::kExitOk : qavix::cli::kExitUsage;
    }
    return exitCode;
}
