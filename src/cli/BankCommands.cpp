#include "BankCommands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "BankLoading.h"
#include "ExitCodes.h"
#include "Translate.h"
#include "files/BankFields.h"
#include "files/BankFile.h"
#include "files/Fingerprint.h"

namespace qavix::cli {

namespace {

// The reader takes values by position, so a file with a key out of place may pass and still
// hold its values in the wrong fields; the user hears of each such entry.
void warnOfMisplacedKeys(const std::string& path, const LoadedSet& loaded) {
    for (const bankfile::KeyMismatch& m : loaded.misplaced) {
        const std::string found = m.found.empty() ? std::string(QX_("なし")) : m.found;
        std::cerr << i18n::fill(QX_("警告: %1: [%2] の %3 番目の項目: キー %4 のはずが %5 です"),
                                {path, m.section, std::to_string(m.position), m.expected, found})
                  << '\n';
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
        std::cerr << i18n::fill(QX_("%1: %2"), {path, loaded.message}) << '\n';
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
            std::cerr << i18n::fill(QX_("%1: %2"), {*path, loaded->message}) << '\n';
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
    CLI::App* bank = app.add_subcommand("bank", QX_("Bankファイル（.qbk）の確認、表示と比較"));
    bank->require_subcommand(1);

    auto checkPath = std::make_shared<std::string>();
    CLI::App* check = bank->add_subcommand(
        "check",
        QX_("FILE をインポートと同じように読み（長さ、デコード、値の範囲）、OK か理由を表示する。"
            "位置の合わないキーはそれぞれ標準エラーに警告する。終了コード 0 OK、1 不可、2 "
            "開けない"));
    check->add_option("FILE", *checkPath, QX_("Bankファイル"))->required();
    check->callback([checkPath, &exitCode] { exitCode = runCheck(*checkPath); });

    auto showPath = std::make_shared<std::string>();
    CLI::App* show = bank->add_subcommand(
        "show", QX_("FILE の設定値を項目ごとに NAME=VALUE の1行で表示する（docs/qavixctl.md）"));
    show->add_option("FILE", *showPath, QX_("Bankファイル"))->required();
    show->callback([showPath, &exitCode] { exitCode = runShow(*showPath); });

    auto diffPaths = std::make_shared<std::pair<std::string, std::string>>();
    CLI::App* diff = bank->add_subcommand(
        "diff", QX_("異なる項目をそれぞれ 'NAME: A -> B' と表示する。終了コード 0 同じ、1 異なる、"
                    "2 読めないファイルがある"));
    diff->add_option("FILE_A", diffPaths->first, QX_("1つ目のBankファイル"))->required();
    diff->add_option("FILE_B", diffPaths->second, QX_("2つ目のBankファイル"))->required();
    diff->callback(
        [diffPaths, &exitCode] { exitCode = runDiff(diffPaths->first, diffPaths->second); });
    return bank;
}

}  // namespace qavix::cli
