#include "DeviceCommands.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "BankTransfer.h"
#include "ClockCommand.h"
#include "DeviceOptions.h"
#include "ErrorLogCommand.h"
#include "InfoCommand.h"

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
                   : "a title has at most " + std::to_string(kMaxTitleLength) + " characters";
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
        "export", "Read set N (0 current values, 1..4 Bank 1..4) from the controller into FILE");
    cmd->add_option("N", args->set, "0 current values, 1..4 a bank")
        ->required()
        ->check(CLI::Range(0, kLastSet));
    cmd->add_option("FILE", args->path, "bank file to write ('-': standard output)")->required();
    cmd->add_option("--title", args->title, "title stored in the file")->check(kTitleLength);
    cmd->callback([args, &options, &exitCode] {
        exitCode = runExport(options, args->set, args->path, args->title);
    });
}

void addImport(CLI::App& bank, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<ImportArgs>();
    CLI::App* cmd = bank.add_subcommand(
        "import",
        "Check FILE against the controller and write it to set N, verified by reading back");
    cmd->add_option("FILE", args->path, "bank file to read")->required();
    cmd->add_option("--to", args->target, "0 current values, 1..4 a bank")
        ->required()
        ->check(CLI::Range(0, kLastSet));
    cmd->callback(
        [args, &options, &exitCode] { exitCode = runImport(options, args->path, args->target); });
}

}  // namespace

void addDeviceCommands(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    CLI::App* info = app.add_subcommand(
        "info", "Print the controller's type, version, ID, serial number and sensors");
    info->callback([&options, &exitCode] { exitCode = runInfo(options); });

    auto csvPath = std::make_shared<std::string>();
    CLI::App* errors =
        app.add_subcommand("errors", "Print the controller's error log (20 entries)");
    errors->add_option("--csv", *csvPath,
                       "also save the log as a CSV file ('-': print the CSV instead of the "
                       "table)");
    errors->callback([csvPath, &options, &exitCode] { exitCode = runErrors(options, *csvPath); });

    auto sync = std::make_shared<bool>(false);
    CLI::App* clock = app.add_subcommand("clock", "Print the controller's clock");
    clock->add_flag("--sync", *sync, "first set the controller's clock to the PC's time");
    clock->callback([sync, &options, &exitCode] { exitCode = runClock(options, *sync); });

    CLI::App* bank = app.get_subcommand("bank");
    bank->description("Bank files: check, show, compare, export from and import to the controller");
    addExport(*bank, options, exitCode);
    addImport(*bank, options, exitCode);
}

}  // namespace qavix::cli
