#include "BankCommands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "BankLoading.h"
#include "ExitCodes.h"
#include "files/BankFields.h"
#include "files/BankFile.h"
#include "files/Fingerprint.h"

namespace qavix::cli {

namespace {

// The reader takes values by position, so a file with a key out of place may pass and still
// hold its values in the wrong fields; the user hears of each such entry.
void warnOfMisplacedKeys(const std::string& path, const LoadedSet& loaded) {
    for (const bankfile::KeyMismatch& m : loaded.misplaced) {
        std::cerr << "warning: " << path << ": [" << m.section << "] entry " << m.position
                  << ": expected key " << m.expected << ", found "
                  << (m.found.empty() ? std::string("nothing") : m.found) << '\n';
    }
}

int runCheck(const std::string& path) {
    const LoadedSet imported = importBankFile(path);
    if (imported.exitCode != kExitFileError) {
        warnOfMisplacedKeys(path, imported);
    } else if (!imported.reason.empty()) {
        std::cerr << imported.reason << '\n';
    }
    std::cout << (imported.exitCode == kExitOk ? std::string("OK") : imported.message) << '\n';
    return imported.exitCode;
}

int runShow(const std::string& path) {
    const LoadedSet loaded = loadBankFile(path);
    if (loaded.exitCode != kExitOk) {
        std::cerr << path << ": " << loaded.message << '\n';
        if (!loaded.reason.empty()) {
            std::cerr << loaded.reason << '\n';
        }
        return loaded.exitCode;
    }
    for (const bankfile::Field& field : bankfile::bankFields(loaded.set)) {
        std::cout << field.name << '=' << field.value << '\n';
    }
    // After the fields, so that scripts reading them by position are not disturbed.
    const Fingerprint fingerprint = settingsFingerprint(loaded.set);
    std::cout << "FINGERPRINT=" << fingerprint.shortForm() << '\n'
              << "FINGERPRINT_SHA256=" << fingerprint.sha256 << '\n';
    return kExitOk;
}

int runDiff(const std::string& pathA, const std::string& pathB) {
    const LoadedSet a = loadBankFile(pathA);
    const LoadedSet b = loadBankFile(pathB);
    bool failed = false;
    for (const auto& [path, loaded] : {std::pair{&pathA, &a}, std::pair{&pathB, &b}}) {
        if (loaded->exitCode != kExitOk) {
            std::cerr << *path << ": " << loaded->message << '\n';
            failed = true;
        }
    }
    if (failed) {
        return kExitFileError;
    }
    const std::vector<bankfile::FieldChange> changes = bankfile::fieldChanges(a.set, b.set);
    for (const bankfile::FieldChange& c : changes) {
        std::cout << bankfile::changeLine(c) << '\n';
    }
    return changes.empty() ? kExitOk : kExitFailed;
}

}  // namespace

CLI::App* addBankCommands(CLI::App& app, int& exitCode) {
    CLI::App* bank = app.add_subcommand("bank", "Check, show and compare bank files (.qbk)");
    bank->require_subcommand(1);

    auto checkPath = std::make_shared<std::string>();
    CLI::App* check = bank->add_subcommand(
        "check",
        "Read FILE as an import would (lengths, decoding, value ranges); print OK or "
        "the reason; warn on standard error of every key out of its place. Exit 0 OK, 1 "
        "rejected, 2 cannot open");
    check->add_option("FILE", *checkPath, "bank file")->required();
    check->callback([checkPath, &exitCode] { exitCode = runCheck(*checkPath); });

    auto showPath = std::make_shared<std::string>();
    CLI::App* show = bank->add_subcommand(
        "show",
        "Print the stored set in FILE, one NAME=VALUE line per field (see docs/qavixctl.md)");
    show->add_option("FILE", *showPath, "bank file")->required();
    show->callback([showPath, &exitCode] { exitCode = runShow(*showPath); });

    auto diffPaths = std::make_shared<std::pair<std::string, std::string>>();
    CLI::App* diff = bank->add_subcommand(
        "diff",
        "Print each field that differs as 'NAME: A -> B'. Exit 0 equal, 1 differ, "
        "2 a file cannot be read");
    diff->add_option("FILE_A", diffPaths->first, "first bank file")->required();
    diff->add_option("FILE_B", diffPaths->second, "second bank file")->required();
    diff->callback(
        [diffPaths, &exitCode] { exitCode = runDiff(diffPaths->first, diffPaths->second); });
    return bank;
}

}  // namespace qavix::cli
