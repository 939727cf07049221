#include "JournalCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "DeviceOptions.h"
#include "ExitCodes.h"
#include "PortSelection.h"
#include "Translate.h"
#include "files/BankFields.h"
#include "files/IsoTime.h"
#include "journal/JournalReader.h"
#include "journal/JournalVerify.h"

namespace qavix::cli {

namespace {

struct ListArgs {
    std::string controllerId;
    std::string serial;
    std::string user;
    std::string since;
    bool json = false;
};

std::string shown(const std::string& text) {
    return bankfile::printableText(text);
}

std::string fingerprintText(const Fingerprint& f) {
    return f.known() ? f.shortForm() : std::string(QX_("不明"));
}

void printChanges(const std::vector<bankfile::FieldChange>& changes) {
    for (const bankfile::FieldChange& c : changes) {
        std::cout << "  " << shown(bankfile::changeLine(c)) << '\n';
    }
}

void printEntry(const journal::JournalEntry& entry) {
    const journal::Record& r = entry.first();
    std::cout << r.time << "  " << journal::operationName(r.operation);
    if (!r.detail.empty()) {
        std::cout << " (" << shown(r.detail) << ")";
    }
    std::cout << "  " << r.target << ": " << entry.status() << '\n';
    std::cout << "  " << shown(r.user) << "@" << shown(r.host) << ", " << shown(r.program) << ' '
              << shown(r.version) << ", " << r.port;
    if (!r.device.empty()) {
        std::cout << " (" << shown(r.device) << ")";
    }
    std::cout << i18n::fill(QX_(" ユニット %1"), {std::to_string(r.unit)}) << '\n';
    std::cout << "  "
              << i18n::fill(QX_("コントローラ %1 %2、ID %3、シリアル番号 %4"),
                            {shown(r.controller.type), shown(r.controller.version),
                             shown(r.controller.id), shown(r.controller.serial)})
              << '\n';
    std::cout << "  "
              << i18n::fill(QX_("フィンガープリント %1 -> %2"),
                            {fingerprintText(r.fingerprintBefore),
                             fingerprintText(entry.fingerprintAfter())})
              << '\n';
    if (!r.reason.empty()) {
        std::cout << "  " << i18n::fill(QX_("理由: %1"), {shown(r.reason)}) << '\n';
    }
    if (entry.end && entry.end->result != journal::Result::Ok) {
        if (!entry.end->message.empty()) {
            std::cout << "  " << i18n::fill(QX_("メッセージ: %1"), {shown(entry.end->message)})
                      << '\n';
        }
        std::cout << "  "
                  << (entry.changes().empty() ? QX_("中断までに書き込んだもの: なし")
                                              : QX_("中断までに書き込んだもの:"))
                  << '\n';
    }
    printChanges(entry.changes());
}

json::Value entryJson(const journal::JournalEntry& entry) {
    json::Value v = json::Value::object();
    v.set("id", entry.first().operationId);
    v.set("status", entry.status());
    v.set("start", entry.start ? journal::recordJson(*entry.start) : json::Value());
    v.set("end", entry.end ? journal::recordJson(*entry.end) : json::Value());
    return v;
}

int runList(const DeviceOptions& options, const ListArgs& args) {
    journal::JournalFilter filter;
    filter.controllerId = args.controllerId;
    filter.serial = args.serial;
    filter.user = args.user;
    if (!args.since.empty()) {
        filter.since = parseIsoTime(args.since, IsoTimeForm::Given);
        if (!filter.since) {
            std::cerr << i18n::fill(QX_("--since: 日付は 2026-12-07 または 2026-12-07T10:15 の"
                                        "形で指定してください: %1"),
                                    {shown(args.since)})
                      << '\n';
            return kExitUsage;
        }
    }
    const std::string folder = selectJournalFolder(kSettingsFileName, options);
    const journal::JournalListing listing = journal::readJournal(folder, filter);
    if (!listing.error.empty()) {
        std::cerr << i18n::fill(QX_("変更履歴を読み込めません: %1"), {shown(listing.error)})
                  << '\n';
        return kExitFileError;
    }
    if (listing.damagedLines > 0) {
        std::cerr << i18n::fill(QXN_("変更履歴に記録として読めない行が %1 行あります（qavixctl "
                                     "journal verify で確認してください）: %2",
                                     "変更履歴に記録として読めない行が %1 行あります（qavixctl "
                                     "journal verify で確認してください）: %2",
                                     listing.damagedLines),
                                {std::to_string(listing.damagedLines), shown(folder)})
                  << '\n';
    }
    if (args.json) {
        json::Value doc = json::Value::object();
        doc.set("journal", folder);
        json::Value& list = doc.set("operations", json::Value::array());
        for (const journal::JournalEntry& entry : listing.entries) {
            list.push(entryJson(entry));
        }
        doc.set("damagedLines", static_cast<int64_t>(listing.damagedLines));
        std::cout << json::write(doc);
        return kExitOk;
    }
    for (const journal::JournalEntry& entry : listing.entries) {
        printEntry(entry);
    }
    return kExitOk;
}

int runVerify(const DeviceOptions& options) {
    const std::string folder = selectJournalFolder(kSettingsFileName, options);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        std::cerr << i18n::fill(QX_("変更履歴のフォルダがありません: %1"), {shown(folder)}) << '\n';
        return kExitFileError;
    }
    const journal::VerifyResult result = journal::verifyJournal(folder);
    if (!result.readable) {
        std::cerr << i18n::fill(QX_("変更履歴を読み込めません: %1"), {shown(result.error)}) << '\n';
        return kExitFileError;
    }
    if (result.intact()) {
        std::cout << i18n::fill(QXN_("変更履歴は途切れていません（%1 件）: %2",
                                     "変更履歴は途切れていません（%1 件）: %2", result.lines),
                                {std::to_string(result.lines), shown(folder)})
                  << '\n';
        if (!result.head.empty()) {
            std::cout << i18n::fill(QX_("最後の記録のハッシュ: %1"), {result.head}) << '\n';
        }
        return kExitOk;
    }
    std::cout << i18n::fill(QX_("%1 の %2 行目: %3"), {result.file, std::to_string(result.line),
                                                       journal::breakText(result.firstBreak)})
              << '\n';
    std::cout << i18n::fill(
                     QX_("変更履歴 %1 件のうち %2 件で記録のつながりが途切れています: %3"),
                     {std::to_string(result.lines), std::to_string(result.broken), shown(folder)})
              << '\n';
    return kExitFailed;
}

}  // namespace

void addJournalCommands(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<ListArgs>();
    CLI::App* list = app.add_subcommand(
        "journal", QX_("変更履歴を表示する: コントローラへの書込みごとにその項目と結果（古い順。"
                       "--journal DIR でフォルダを指定）"));
    CLI::Option* id =
        list->add_option("--controller", args->controllerId,
                         QX_("この ID（info の表示と同じ）のコントローラへの書込みだけ"));
    list->add_option("--serial", args->serial,
                     QX_("このシリアル番号（info の表示と同じ）のコントローラへの書込みだけ"))
        ->excludes(id);
    list->add_option("--user", args->user, QX_("このユーザーが行った書込みだけ"));
    list->add_option("--since", args->since,
                     QX_("この日付または日時以降の書込みだけ（2026-12-07、2026-12-07T10:15）"))
        ->type_name("DATE");
    list->add_flag("--json", args->json, QX_("1つの JSON ドキュメントを表示する"));
    CLI::App* verify = list->add_subcommand(
        "verify",
        QX_("変更履歴の記録のつながりをたどり、最初に途切れた記録を示す。終了コード 0 途切れ"
            "なし、1 途切れあり、2 変更履歴を読めない"));
    verify->callback([&options, &exitCode] { exitCode = runVerify(options); });
    list->callback([list, verify, args, &options, &exitCode] {
        if (list->got_subcommand(verify)) {
            return;
        }
        exitCode = runList(options, *args);
    });
}

}  // namespace qavix::cli
