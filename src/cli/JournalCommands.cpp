#include "JournalCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "DeviceOptions.h"
#include "ExitCodes.h"
#include "PortSelection.h"
#include "files/BankFields.h"
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
    return f.known() ? f.shortForm() : "unknown";
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
    std::cout << " unit " << r.unit << '\n';
    std::cout << "  controller " << shown(r.controller.type) << ' ' << shown(r.controller.version)
              << ", ID " << shown(r.controller.id) << ", serial " << shown(r.controller.serial)
              << '\n';
    std::cout << "  fingerprint " << fingerprintText(r.fingerprintBefore) << " -> "
              << fingerprintText(entry.fingerprintAfter()) << '\n';
    if (!r.reason.empty()) {
        std::cout << "  reason: " << shown(r.reason) << '\n';
    }
    if (entry.end && entry.end->result != journal::Result::Ok) {
        if (!entry.end->message.empty()) {
            std::cout << "  message: " << shown(entry.end->message) << '\n';
        }
        std::cout << "  written before it stopped:" << (entry.changes().empty() ? " none" : "")
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
        filter.since = journal::parseIsoTime(args.since);
        if (!filter.since) {
            std::cerr
                << "--since: 日付は 2026-12-07 または 2026-12-07T10:15 の形で指定してください: "
                << shown(args.since) << '\n';
            return kExitUsage;
        }
    }
    const std::string folder = selectJournalFolder(kSettingsFileName, options);
    const journal::JournalListing listing = journal::readJournal(folder, filter);
    if (!listing.error.empty()) {
        std::cerr << "変更履歴を読み込めません: " << shown(listing.error) << '\n';
        return kExitFileError;
    }
    if (listing.damagedLines > 0) {
        std::cerr << "変更履歴に記録として読めない行が " << listing.damagedLines
                  << " 行あります（qavixctl journal verify で確認してください）: " << shown(folder)
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
        std::cerr << "変更履歴のフォルダがありません: " << shown(folder) << '\n';
        return kExitFileError;
    }
    const journal::VerifyResult result = journal::verifyJournal(folder);
    if (!result.readable) {
        std::cerr << "変更履歴を読み込めません: " << shown(result.error) << '\n';
        return kExitFileError;
    }
    if (result.intact()) {
        std::cout << "変更履歴は途切れていません（" << result.lines << " 件）: " << shown(folder)
                  << '\n';
        if (!result.head.empty()) {
            std::cout << "最後の記録のハッシュ: " << result.head << '\n';
        }
        return kExitOk;
    }
    std::cout << result.file << " の " << result.line
              << " 行目: " << journal::breakText(result.firstBreak) << '\n';
    std::cout << "変更履歴 " << result.lines << " 件のうち " << result.broken
              << " 件で記録のつながりが途切れています: " << shown(folder) << '\n';
    return kExitFailed;
}

}  // namespace

void addJournalCommands(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    auto args = std::make_shared<ListArgs>();
    CLI::App* list = app.add_subcommand(
        "journal",
        "List the change journal: every write to a controller with its fields and result "
        "(oldest first; --journal DIR names the folder)");
    CLI::Option* id =
        list->add_option("--controller", args->controllerId,
                         "only writes to the controller of this ID, as info prints it");
    list->add_option("--serial", args->serial,
                     "only writes to the controller of this serial number, as info prints it")
        ->excludes(id);
    list->add_option("--user", args->user, "only writes made by this user");
    list->add_option("--since", args->since,
                     "only writes from this date or time on (2026-12-07, 2026-12-07T10:15)")
        ->type_name("DATE");
    list->add_flag("--json", args->json, "print one JSON document");
    CLI::App* verify = list->add_subcommand(
        "verify",
        "Walk the journal's chain of records; name the first broken one. Exit 0 intact, 1 "
        "broken, 2 the journal cannot be read");
    verify->callback([&options, &exitCode] { exitCode = runVerify(options); });
    list->callback([list, verify, args, &options, &exitCode] {
        if (list->got_subcommand(verify)) {
            return;
        }
        exitCode = runList(options, *args);
    });
}

}  // namespace qavix::cli
