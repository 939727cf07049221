// The change journal on disk: records chained line to line and file to file, appended whole
// or not at all, read back as writes with their ends, and checked for breaks.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SmallTmpfs.h"
#include "TempDir.h"
#include "files/IsoTime.h"
#include "journal/Journal.h"
#include "journal/JournalCsv.h"
#include "journal/JournalReader.h"
#include "journal/JournalVerify.h"

namespace qavix::test {
namespace {

using journal::Record;

Record startRecord(const std::string& id, const std::string& serial = "0300920") {
    Record r;
    r.kind = journal::RecordKind::Start;
    r.operationId = id;
    r.user = "taro";
    r.host = "line3-pc";
    r.program = "qavixctl";
    r.version = "1.0.0";
    r.port = "COM1";
    r.device = "sim";
    r.controller.type = "QX-AS300 CONTROLLER ";
    r.controller.id = "000101";
    r.controller.serial = serial;
    r.target = "current";
    r.operation = journal::Operation::PageWrite;
    r.detail = "基本情報";
    r.reason = "点検\n2行目";
    r.changes = {{"CH1.ON_TH", "35", "45", "", 1}};
    r.fingerprintBefore = Fingerprint{std::string(64, 'a')};
    r.fingerprintAfter = Fingerprint{std::string(64, 'b')};
    return r;
}

Record endRecord(Record r, journal::Result result) {
    r.kind = journal::RecordKind::End;
    r.result = result;
    r.message = result == journal::Result::Ok ? "" : "通信が断絶しました";
    return r;
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void writeLines(const std::string& path, const std::vector<std::string>& lines, bool lastEnds) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (size_t i = 0; i < lines.size(); ++i) {
        out << lines[i] << (i + 1 < lines.size() || lastEnds ? "\n" : "");
    }
}

// A journal of `count` records, appended one by one.
std::string filledJournal(const TempDir& temp, int count) {
    const std::string folder = temp.file("journal");
    journal::Journal j(folder);
    for (int i = 0; i < count; ++i) {
        Record r = startRecord("op" + std::to_string(i));
        EXPECT_TRUE(j.append(r).ok);
    }
    return folder;
}

std::string onlyFile(const std::string& folder) {
    const std::vector<std::string> files = journal::journalFiles(folder);
    EXPECT_EQ(files.size(), 1u);
    return files.empty() ? std::string() : files.front();
}

TEST(JournalRecord, ReadsBackWhatWasWrittenAndNoticesAnyChangedByte) {
    Record r = endRecord(startRecord("abc"), journal::Result::Failed);
    r.time = "2026-12-07T10:15:00+09:00";
    const std::string line = journal::formatRecord(r, journal::kNoPreviousRecord);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "one record, one line";
    const std::optional<Record> back = journal::parseRecord(line);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->kind, journal::RecordKind::End);
    EXPECT_EQ(back->result, journal::Result::Failed);
    EXPECT_EQ(back->reason, "点検\n2行目");
    EXPECT_EQ(back->controller.serial, "0300920");
    ASSERT_EQ(back->changes.size(), 1u);
    EXPECT_EQ(back->changes[0].after, "45");
    EXPECT_EQ(back->fingerprintAfter.shortForm(), "BBBB-BBBB");
    EXPECT_EQ(back->prev, journal::kNoPreviousRecord);

    for (size_t at : {size_t{1}, line.find("45"), line.size() - 3}) {
        std::string edited = line;
        edited[at] = edited[at] == '4' ? '5' : '4';
        EXPECT_FALSE(journal::recordIntact(edited)) << "byte " << at;
    }
}

TEST(Journal, ChainsEveryRecordToTheLineBeforeIt) {
    const TempDir temp;
    const std::string folder = filledJournal(temp, 3);
    const std::vector<std::string> lines = readLines(onlyFile(folder));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(journal::parseRecord(lines[0])->prev, journal::kNoPreviousRecord);
    EXPECT_EQ(journal::parseRecord(lines[2])->prev, journal::lineDigest(lines[1]));
    const journal::VerifyResult v = journal::verifyJournal(folder);
    EXPECT_TRUE(v.intact());
    EXPECT_EQ(v.lines, 3u);
    EXPECT_EQ(v.head, journal::lineDigest(lines[2]));
}

TEST(JournalVerify, NamesTheFirstRecordThatBreaksTheChain) {
    struct Case {
        const char* what;
        std::function<void(std::vector<std::string>&, bool&)> tamper;
        size_t line;
        journal::Break kind;
    };
    const Case cases[] = {
        {"an edited value",
         [](std::vector<std::string>& l, bool&) { l[2].replace(l[2].find("\"45\""), 4, "\"55\""); },
         3, journal::Break::NotARecord},
        {"an edited value with its own hash made again",
         [](std::vector<std::string>& l, bool&) {
             std::optional<Record> r = journal::parseRecord(l[1]);
             r->changes[0].after = "99";
             l[1] = journal::formatRecord(*r, r->prev);
         },
         3, journal::Break::ChainBroken},
        {"a deleted line", [](std::vector<std::string>& l, bool&) { l.erase(l.begin() + 1); }, 2,
         journal::Break::ChainBroken},
        {"two swapped lines", [](std::vector<std::string>& l, bool&) { std::swap(l[1], l[2]); }, 2,
         journal::Break::ChainBroken},
        {"a truncated last line",
         [](std::vector<std::string>& l, bool& lastEnds) {
             l.back().resize(l.back().size() / 2);
             lastEnds = false;
         },
         4, journal::Break::CutShort},
        {"the last record edited",
         [](std::vector<std::string>& l, bool&) { l[3].replace(l[3].find("taro"), 4, "hana"); }, 4,
         journal::Break::NotARecord},
    };
    for (const Case& c : cases) {
        const TempDir temp;
        const std::string folder = filledJournal(temp, 4);
        const std::string file = onlyFile(folder);
        std::vector<std::string> lines = readLines(file);
        bool lastEnds = true;
        c.tamper(lines, lastEnds);
        writeLines(file, lines, lastEnds);
        const journal::VerifyResult v = journal::verifyJournal(folder);
        EXPECT_FALSE(v.intact()) << c.what;
        EXPECT_EQ(v.line, c.line) << c.what;
        EXPECT_EQ(v.firstBreak, c.kind) << c.what;
        EXPECT_EQ(v.file, std::filesystem::path(file).filename().string()) << c.what;
    }
}

TEST(Journal, AppendsAfterALineCutShortAndNotesIt) {
    const TempDir temp;
    const std::string folder = filledJournal(temp, 2);
    const std::string file = onlyFile(folder);
    std::vector<std::string> lines = readLines(file);
    lines.back().resize(40);  // the power failed while the second record went out
    writeLines(file, lines, false);

    journal::Journal j(folder);
    Record next = startRecord("after");
    ASSERT_TRUE(j.append(next).ok);
    Record last = startRecord("last");
    ASSERT_TRUE(j.append(last).ok);

    lines = readLines(file);
    ASSERT_EQ(lines.size(), 4u) << "the new record starts a line of its own";
    EXPECT_EQ(lines[1].size(), 40u) << "the cut line is kept as it is";
    const std::optional<Record> noted = journal::parseRecord(lines[2]);
    ASSERT_TRUE(noted.has_value());
    EXPECT_TRUE(noted->afterDamage);
    EXPECT_EQ(noted->prev, journal::lineDigest(lines[1]));
    EXPECT_FALSE(journal::parseRecord(lines[3])->afterDamage);
    const journal::VerifyResult v = journal::verifyJournal(folder);
    EXPECT_EQ(v.broken, 1u) << "only the cut line breaks the chain";
    EXPECT_EQ(v.line, 2u);
    EXPECT_EQ(journal::readJournal(folder).damagedLines, 1u);
}

TEST(Journal, TheChainRunsAcrossTheMonthsInTheOrderOfTheirNames) {
    const TempDir temp;
    const std::string folder = filledJournal(temp, 2);
    // A month the journal was already in; the next record goes there, not to this month's
    // file a clock running behind would pick.
    const std::string present = onlyFile(folder);
    const std::string later = (std::filesystem::path(folder) / "2999-01.jsonl").string();
    std::filesystem::rename(present, later);
    journal::Journal j(folder);
    Record r = startRecord("third");
    ASSERT_TRUE(j.append(r).ok);
    EXPECT_EQ(journal::journalFiles(folder), std::vector<std::string>{later});

    // Records of an earlier month chain on to the next file.
    const std::vector<std::string> lines = readLines(later);
    writeLines((std::filesystem::path(folder) / "2998-12.jsonl").string(), {lines[0], lines[1]},
               true);
    writeLines(later, {lines[2]}, true);
    EXPECT_TRUE(journal::verifyJournal(folder).intact());
    std::filesystem::remove((std::filesystem::path(folder) / "2998-12.jsonl").string());
    EXPECT_EQ(journal::verifyJournal(folder).firstBreak, journal::Break::ChainBroken)
        << "a month removed from the middle";
}

TEST(Journal, RecordsFromSeveralProcessesAtOnceAllStandChained) {
    const TempDir temp;
    const std::string folder = temp.file("journal");
    constexpr int kProcesses = 4;
    constexpr int kEach = 200;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            journal::Journal j(folder);
            for (int i = 0; i < kEach; ++i) {
                Record r = startRecord("p" + std::to_string(p) + "-" + std::to_string(i));
                if (!j.append(r).ok) {
                    ::_exit(1);
                }
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const journal::VerifyResult v = journal::verifyJournal(folder);
    EXPECT_TRUE(v.intact()) << v.file << ":" << v.line;
    EXPECT_EQ(v.lines, static_cast<size_t>(kProcesses * kEach));
}

TEST(Journal, AWriteTheDiskCannotTakeLeavesNothingOfIt) {
    SmallTmpfs disk(64);
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    const std::string folder = disk.file("journal");
    journal::Journal j(folder);
    Record first = startRecord("first");
    ASSERT_TRUE(j.append(first).ok);
    const std::string file = onlyFile(folder);
    const auto size = std::filesystem::file_size(file);
    ASSERT_TRUE(disk.fill(64));
    Record big = startRecord("big");
    big.changes.assign(
        200, {"CONTROLLER.AXIS_TH1_1", std::string(60, '1'), std::string(60, '2'), "beam", 1});
    const journal::AppendResult full = j.append(big);
    EXPECT_FALSE(full.ok);
    EXPECT_NE(full.error.find(file), std::string::npos) << full.error;
    EXPECT_EQ(std::filesystem::file_size(file), size) << "no part of the record stays";
    EXPECT_TRUE(journal::verifyJournal(folder).intact());

    // A folder that cannot be written at all: the error names it.
    ASSERT_EQ(::mount(nullptr, disk.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    journal::Journal elsewhere(disk.file("other"));
    Record r = startRecord("ro");
    const journal::AppendResult refused = elsewhere.append(r);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find(disk.file("other")), std::string::npos) << refused.error;
}

TEST(JournalReader, PairsEachStartWithItsEndAndFilters) {
    const TempDir temp;
    const std::string folder = temp.file("journal");
    journal::Journal j(folder);
    Record a = startRecord("a");
    Record b = startRecord("b", "0400111");
    b.user = "hana";
    Record c = startRecord("c");
    for (Record* r : {&a, &b}) {
        ASSERT_TRUE(j.append(*r).ok);
    }
    Record endA = endRecord(a, journal::Result::Ok);
    endA.time.clear();
    ASSERT_TRUE(j.append(endA).ok);
    ASSERT_TRUE(j.append(c).ok);  // the program ended before c's end was written
    Record endB = endRecord(b, journal::Result::Failed);
    endB.time.clear();
    ASSERT_TRUE(j.append(endB).ok);

    const journal::JournalListing all = journal::readJournal(folder);
    ASSERT_EQ(all.entries.size(), 3u);
    EXPECT_EQ(all.entries[0].status(), "ok");
    EXPECT_EQ(all.entries[1].status(), "failed");
    EXPECT_EQ(all.entries[2].status(), "not finished");

    // Saved as CSV: one row per changed field, values with commas, quotes or line breaks
    // quoted; a write that never finished shows what it set out to change.
    const std::vector<std::string> csv = journal::journalCsvLines(all.entries);
    ASSERT_EQ(csv.size(), 4u);
    EXPECT_EQ(csv[0].substr(0, 7), "日時,");
    EXPECT_NE(csv[3].find(",not finished,\"点検\n2行目\","), std::string::npos) << csv[3];
    EXPECT_EQ(csv[3].substr(csv[3].size() - 16), ",CH1.ON_TH,35,45");
    EXPECT_EQ(journal::csvValue("a\"b,c"), "\"a\"\"b,c\"");

    journal::JournalFilter bySerial;
    bySerial.serial = "0400111";
    EXPECT_EQ(journal::readJournal(folder, bySerial).entries.size(), 1u);
    journal::JournalFilter byUser;
    byUser.user = "taro";
    EXPECT_EQ(journal::readJournal(folder, byUser).entries.size(), 2u);
    journal::JournalFilter later;
    later.since = parseIsoTime("2999-01-01", IsoTimeForm::Given);
    EXPECT_TRUE(journal::readJournal(folder, later).entries.empty());
}

TEST(JournalReader, TimesAsTheJournalWritesThemAndAsAUserGivesThem) {
    EXPECT_EQ(parseIsoTime("2026-12-07T10:15:00+09:00", IsoTimeForm::Given),
              parseIsoTime("2026-12-07T01:15:00Z", IsoTimeForm::Given));
    EXPECT_EQ(*parseIsoTime("1970-01-02T00:00:00-01:30", IsoTimeForm::Given), 86400 + 5400);
    EXPECT_EQ(*parseIsoTime("2026-12-07T10:15+0900", IsoTimeForm::Given),
              *parseIsoTime("2026-12-07T01:15:00Z", IsoTimeForm::Given));
    for (const char* bad : {"", "2026-13-01", "2026-12-7", "2026-12-07T25:00", "07.12.2026",
                            "2026-12-07T10:15:00+9"}) {
        EXPECT_FALSE(parseIsoTime(bad, IsoTimeForm::Given).has_value()) << bad;
    }
    EXPECT_TRUE(parseIsoTime("2026-12-07", IsoTimeForm::Given).has_value());
}

}  // namespace
}  // namespace qavix::test
