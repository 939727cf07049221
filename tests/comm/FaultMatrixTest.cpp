// Every write transaction against the emulator, with the line failing at each of its
// requests (a pulled cable) and with replies dropped or spoiled now and then. Whatever
// happens: a success means the controller holds what was meant; a failure is reported as
// one, with the message that fits where it failed; nothing is reported done that was not.
//
// A page's write that lands later adds a row to pageWriteCases(), built with the function
// the page builds its puts with.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cctype>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FakeLink.h"
#include "TempDir.h"
#include "comm/CCommLink.h"
#include "comm/CommMessages.h"
#include "comm/LostConnection.h"
#include "comm/Transactions.h"
#include "comm/WriteJournal.h"
#include "journal/JournalLines.h"
#include "model/ClockText.h"
#include "model/Codec.h"
#include "model/GroupRanges.h"
#include "model/IdentificationNumber.h"
#include "model/OptionSwitches.h"
#include "model/OverallJudgement.h"
#include "model/ParallelOutputs.h"
#include "model/PioFunctions.h"
#include "model/SensorOperation.h"
#include "monitor/BeamSelection.h"
#include "monitor/LevelReading.h"
#include "monitor/ThresholdList.h"
#include "monitor/ThresholdTuning.h"

#ifdef QAVLINK_PATH

namespace qavix::test {
namespace {

// The emulator in this process answers at once; a silent line is known after a short wait.
CommTimings matrixTimings() {
    CommTimings t = instantTimings(std::chrono::milliseconds(60000));
    t.requestTimeout = std::chrono::milliseconds(25);
    return t;
}

// One connection to the emulator, read as the program reads at start-up, recording its
// writes in a change journal of its own.
struct Session {
    TempDir journalDir;
    WriteJournal journal{journalDir.file("journal"), writeSource("comm_tests", "test")};
    ScriptedHost host;
    DeviceModel model;
    std::unique_ptr<CCommLink> link;
    std::unique_ptr<Transactions> tx;

    bool connect(const std::string& simOptions) {
        setenv("QAVLINK_COM1", ("sim:--sensors 40,32 --instant-timeout on " + simOptions).c_str(),
               1);
        link = std::make_unique<CCommLink>(host, model, matrixTimings());
        link->setJournal(&journal);
        if (!link->start(QAVLINK_PATH)) {
            return false;
        }
        // Recovery files are another test's business; none land in the test's folder.
        link->setRecoveryWriter([](const DeviceModel&) { return RecoverySave{}; });
        LinkSettings s;
        s.blocks[0] = {9600, 7, 2, 2, 0, 0};
        link->setSettings(s);
        link->setConnecting(true);
        const bool opened = link->open() == kRequestOk;
        link->setConnecting(false);
        tx = std::make_unique<Transactions>(*link, model);
        return opened && link->checkStatus() == kRequestOk &&
               link->suspendPolling() == kRequestOk && tx->readAll() == kRequestOk &&
               tx->readBanks() == kRequestOk;
    }
    ~Session() {
        tx.reset();
        link.reset();
        unsetenv("QAVLINK_COM1");
    }

    // What a setting page's row made of its edit: built once, before the write, so the
    // check afterwards compares with exactly what was sent.
    std::vector<codec::PutRequest> puts;
    // The current values before a row replaced the working set with what it writes.
    SettingsData before;
};

// Whether the controller holds each put's block, read with its paired read code (tried as
// often as the program tries a call, since replies may be dropped). A put without a paired
// read (ON_TH sent once more) is left out, as its value is read through the other puts; a
// list that leaves nothing to read proves nothing and fails.
bool controllerHolds(Session& s, const std::vector<codec::PutRequest>& puts) {
    int checked = 0;
    for (const codec::PutRequest& put : puts) {
        const int readCode = codec::pairedReadCode(put.code);
        if (readCode == 0) {
            continue;
        }
        ++checked;
        std::array<char, kReplyBufferSize> reply{};
        bool read = false;
        for (int attempt = 0; attempt < kLibraryCallAttempts && !read; ++attempt) {
            reply.fill('\0');
            read = s.link->api().getParameterDataWait(readCode, put.start, put.count, reply.data(),
                                                      kRequestTimeoutMs) == 1;
        }
        if (!read || std::string(reply.data()).compare(0, put.text.size(), put.text) != 0) {
            return false;
        }
    }
    return checked > 0;
}

struct WriteCase {
    const char* name;
    // The values to write, set after the start-up reads.
    std::function<void(Session&)> prepare;
    std::function<int(Session&)> write;
    // After a reported success: the controller, read again, holds what was meant.
    std::function<bool(Session&)> holdsWhatWasMeant;
    // After a failure before the change was handed over: the program still shows the work
    // as not done.
    std::function<bool(const Session&)> stillUndone = [](const Session&) { return true; };
};

std::vector<codec::PutRequest> currentSetPuts(Session& s) {
    SettingsData changed = s.model.working();
    changed.channel(0).axisTh[3] = 77;
    changed.general.tchCnf = 0x10;
    return {codec::encodePut(24, 1, changed), codec::encodePut(40, 0, changed)};
}

std::tm clockTime() {
    std::tm t{};
    t.tm_year = 130;
    t.tm_mon = 0;
    t.tm_mday = 2;
    t.tm_hour = 3;
    t.tm_min = 4;
    t.tm_sec = 5;
    return t;
}

std::vector<WriteCase> pageWriteCases();

std::vector<WriteCase> writeCases() {
    std::vector<WriteCase> cases = {
        {"current set", [](Session&) {},
         [](Session& s) { return s.tx->writeCurrentSet(currentSetPuts(s)); },
         [](Session& s) { return controllerHolds(s, currentSetPuts(s)); }},
        {"bank",
         [](Session& s) {
             ASSERT_EQ(s.tx->selectStoredSet(2), kRequestOk);
             s.model.working().channel(1).zero[5] = 123;
             s.model.markEdited(2);
         },
         [](Session& s) { return s.tx->writeSelectedBank(); },
         [](Session& s) {
             s.model.storedSet(2).channel(1).zero[5] = 0;
             return s.model.storedSet(2).edited == 0 && s.tx->rereadBank(2) == kRequestOk &&
                    s.model.storedSet(2).channel(1).zero[5] == 123;
         },
         [](const Session& s) { return s.model.storedSet(2).edited != 0; }},
        {"current values from a file",
         [](Session& s) {
             s.before = s.model.working();
             s.model.working().channel(1).zero.fill(90);
         },
         [](Session& s) { return s.tx->writeCurrentValues(s.before, {}); },
         [](Session& s) {
             s.model.working().channel(1).zero.fill(0);
             return s.link->request(102, 2, 128, 32) == kRequestOk &&
                    s.model.working().channel(1).zero[31] == 90;
         }},
        {"clear banks", [](Session& s) { ASSERT_EQ(s.model.storedSet(3).compatible, 1); },
         [](Session& s) { return s.tx->clearBanks({3}); },
         [](Session& s) {
             s.model.storedSet(3).compatible = 1;
             // Only the bank asked for: its neighbour keeps its values.
             return s.tx->readBanks() == kRequestOk && s.model.storedSet(3).compatible == 0 &&
                    s.model.storedSet(2).compatible == 1;
         },
         // A failed clear must not show the bank as cleared.
         [](const Session& s) { return s.model.storedSet(3).compatible == 1; }},
        {"clock sync", [](Session&) {}, [](Session& s) { return s.tx->setClock(clockTime); },
         [](Session& s) {
             if (s.link->request(kCodeClock, 0, 0, 0, kRequestTimeoutMs) != kRequestOk) {
                 return false;
             }
             const auto shown = formatControllerClock(s.model.working().general);
             return shown && shown->rfind("30/01/02 03:0", 0) == 0;
         }},
        {"basic information ID", [](Session&) {},
         [](Session& s) { return s.tx->writeCurrentSet({idPut("A1B2")}); },
         [](Session& s) { return controllerHolds(s, {idPut("A1B2")}); }},
    };
    for (WriteCase& page : pageWriteCases()) {
        cases.push_back(std::move(page));
    }
    return cases;
}

// A page reads what it shows before the user edits it. A read that fails on a spoiled line
// leaves the values read at start-up, which the edit then starts from; the write is judged
// on what it sent either way, so the result is not asked.
void runPageReads(Session& s, const std::vector<PageRead>& reads) {
    for (const PageRead& r : reads) {
        s.link->request(r.code, r.arg1, r.start, r.count, r.timeoutMs);
    }
}

// Whether `set` holds what the puts carry: each put made again from the set is the same.
bool setHolds(SettingsData set, const std::vector<codec::PutRequest>& puts) {
    for (const codec::PutRequest& put : puts) {
        if (codec::encodePut(put.code, put.channel, set).text != put.text) {
            return false;
        }
    }
    return !puts.empty();
}

// Whether the program, reading the written blocks again, shows what was written: the
// working set, which the write left as it was, takes the replies and makes the same puts
// again.
bool programReadsBack(Session& s, const std::vector<codec::PutRequest>& puts) {
    for (const codec::PutRequest& put : puts) {
        const int readCode = codec::pairedReadCode(put.code);
        if (readCode != 0 &&
            s.link->request(readCode, put.channel, put.start, put.count) != kRequestOk) {
            return false;
        }
    }
    return setHolds(s.model.working(), puts);
}

// A setting page's write to the controller: `edit` reads and changes what the page shows
// and returns the puts the page's own core function makes of it; the page sends them as
// the current set.
WriteCase pageWrite(const char* name,
                    std::function<std::vector<codec::PutRequest>(Session&)> edit) {
    WriteCase c;
    c.name = name;
    c.prepare = [edit](Session& s) {
        s.puts = edit(s);
        ASSERT_FALSE(s.puts.empty()) << "the edit gives the page nothing to write";
        // Otherwise a write that sent nothing at all would pass.
        ASSERT_FALSE(controllerHolds(s, s.puts)) << "the controller holds the edit already";
    };
    c.write = [](Session& s) { return s.tx->writeCurrentSet(s.puts); };
    c.holdsWhatWasMeant = [](Session& s) {
        return controllerHolds(s, s.puts) && programReadsBack(s, s.puts);
    };
    // The page takes the values as held only after a successful write.
    c.stillUndone = [](const Session& s) { return !setHolds(s.model.working(), s.puts); };
    return c;
}

std::array<int32_t, kChannelCount> beamCounts(const SettingsData& set) {
    return {set.channel(0).beamCount, set.channel(1).beamCount, set.channel(2).beamCount};
}

int flipped(int choice) {
    return choice == 0 ? 1 : 0;
}

std::vector<codec::PutRequest> pioEdit(Session& s) {
    runPageReads(s, pioReads());
    const GeneralBlock& held = s.model.working().general;
    PioTable table = pioTableOf(held);
    table[0].assignment = pioFunctionDefaults(kPioUnassigned);
    table[8].inversion = flipped(table[8].inversion);
    return pioPuts(table, held);
}

std::vector<codec::PutRequest> overallJudgementEdit(Session& s) {
    runPageReads(s, overallJudgementReads());
    const SettingsData& held = s.model.working();
    OverallJudgementValues v = overallJudgementOf(held.general);
    // Together, the first row's counts and switch stand for every sensor.
    v.arrangementIndex = v.arrangementIndex == kTogetherIndex ? kSeparateIndex : kTogetherIndex;
    v.blocked = {"5", "4", "3"};
    v.incident = {"3", "2", "1"};
    v.fix[0] = flipped(v.fix[0]);
    for (const OverallBox& box : kOverallCheckOrder) {
        const std::string& text =
            box.kind == BeamJudgement::Blocked ? v.blocked[box.channel] : v.incident[box.channel];
        EXPECT_EQ(checkOverallBox(box.kind, box.channel, text, v.arrangementIndex, beamCounts(held),
                                  true),
                  std::nullopt);
    }
    return overallJudgementPuts(v, held.general);
}

std::vector<codec::PutRequest> parallelOutputEdit(Session& s) {
    runPageReads(s, parallelOutputReads());
    const GeneralBlock& held = s.model.working().general;
    ParallelOutputPage page = parallelOutputPage(held);
    ParallelOutputChoice& first = page.outputs[0];
    first.mode = (first.mode + 1) % static_cast<int>(kParallelModeNames.size());
    first.format = flipped(first.format);
    ParallelOutputChoice& second = page.outputs[1];
    second.state = flipped(second.state);
    second.sensorEntry = static_cast<int>(second.sensors.size()) - 1;
    return parallelOutputPuts(page, held);
}

// Two groups, one of them across the joint of the two sensors.
GroupTable editedGroups(const SettingsData& set) {
    GroupTable table = groupTableOf(set.general);
    table[0] = {{1, 3}, {1, 12}};
    table[5] = {{1, 30}, {2, 8}};
    for (size_t g : {0, 5}) {
        EXPECT_TRUE(groupRangeValid(table[g], beamCounts(set))) << "group " << g + 1;
    }
    return table;
}

std::vector<codec::PutRequest> groupEdit(Session& s) {
    runPageReads(s, groupReads());
    return groupPuts(editedGroups(s.model.working()));
}

std::vector<codec::PutRequest> optionEdit(Session& s) {
    runPageReads(s, optionReads());
    const GeneralBlock& held = s.model.working().general;
    OptionStates shown = optionStates(held);
    for (int i : {kOptionTeach, kOptionGroups, kOptionOverall}) {
        shown[static_cast<size_t>(i)] = !shown[static_cast<size_t>(i)];
    }
    return optionPuts(shown, held);
}

// CH1 in the extended mode: every field the page writes, the blanking switches passed on
// to CH2. The sensor's identification is the controller's, not a bank's: with a bank shown
// the typed one must not be written, since the bank would drop it and report success.
std::vector<codec::PutRequest> sensorOperationEdit(Session& s, bool toBank) {
    runPageReads(s, sensorOperationReads(1));
    const SettingsData& held = s.model.working();
    SensorOperationValues v = sensorOperationValues(held.channel(0));
    v.id = v.id == "1A2B" ? "3C4D" : "1A2B";
    v.out2 = flipped(v.out2);
    v.thresholds =
        onThresholdEntered(v.thresholds.on == 70 ? 75 : 70, v.thresholds.on - v.thresholds.off);
    v.floating = flipped(v.floating);
    v.mode = flipped(v.mode);
    v.floatingBeams = v.floatingBeams % (kFloatingBeamChoices - 1) + 1;
    v.fixed = flipped(v.fixed);
    return sensorOperationPuts(v, {1, held.general.jointNum, true, toBank}, held);
}

// All sensors shown in one row: a span over the joint of CH1 and CH2 and the row's last
// beam change.
std::vector<codec::PutRequest> designatedBeamsEdit(Session& s) {
    const BeamFlagTable table = BeamFlagTable::Designated;
    runPageReads(s, beams::tableReads(s.model.working(), table));
    const SettingsData& held = s.model.working();
    const beams::BeamRange row(held, beams::kAllSensors);
    beams::BeamPicks picks;
    picks.load(held, table);
    const int joint = row.spans().at(1).first;
    EXPECT_GT(picks.setSpan(row, joint - 3, joint + 4, true), 0);
    EXPECT_EQ(picks.set(row, row.size() - 1, !picks.picked(row, row.size() - 1)), 1);
    return beams::writePuts(held, table, picks, row);
}

// CH2 shown, with a pick made on CH1 before the switch: both sensors are written.
std::vector<codec::PutRequest> fixedBlankingBeamsEdit(Session& s) {
    const BeamFlagTable table = BeamFlagTable::FixedBlanking;
    runPageReads(s, beams::tableReads(s.model.working(), table));
    const SettingsData& held = s.model.working();
    beams::BeamPicks picks;
    picks.load(held, table);
    const beams::BeamRange first(held, 0);
    EXPECT_EQ(picks.set(first, 2, !picks.picked(first, 2)), 1);
    const beams::BeamRange shown(held, 1);
    EXPECT_GT(picks.setSpan(shown, 0, 5, !picks.picked(shown, 0)), 0);
    return beams::writePuts(held, table, picks, shown);
}

// The chart's thresholds per beam, moved on a few beams of each sensor. In ratio display
// the percentages become absolute values on the way out.
std::vector<codec::PutRequest> beamThresholdEdit(Session& s, bool ratioDisplay) {
    SettingsData edited = s.model.working();
    std::vector<codec::PutRequest> puts;
    for (int sensor : levels::shownSensors(edited, levels::kAllChannels)) {
        const ChannelRecord& ch = edited.channel(sensor);
        std::vector<chart::ThresholdPair> pairs;
        for (int b = 0; b < ch.beamCount; ++b) {
            const auto k = static_cast<size_t>(b);
            pairs.push_back(ratioDisplay ? chart::ThresholdPair{ch.ratioOnTh[k], ch.ratioOffTh[k]}
                                         : thlist::derivedPair(edited, sensor, b, false));
        }
        for (int b : {1, ch.beamCount - 1}) {
            chart::ThresholdPair& p = pairs.at(static_cast<size_t>(b));
            p = ratioDisplay ? chart::ThresholdPair{p.on == 85 ? 80 : 85, p.on == 85 ? 70 : 75}
                             : chart::ThresholdPair{p.on + 17, p.off + 17};
        }
        puts.push_back(tuning::beamThresholdPut(edited, sensor, pairs, ratioDisplay));
    }
    return puts;
}

// The single-channel chart: ON_TH and OFF_TH of each sensor.
std::vector<codec::PutRequest> channelThresholdEdit(Session& s) {
    SettingsData edited = s.model.working();
    std::vector<codec::PutRequest> puts;
    for (int sensor : levels::shownSensors(edited, levels::kAllChannels)) {
        const ChannelRecord& ch = edited.channel(sensor);
        const chart::ThresholdPair moved{ch.onTh + 6 + sensor, ch.offTh + 6 + sensor};
        for (codec::PutRequest& p : tuning::channelThresholdPuts(edited, sensor, moved)) {
            puts.push_back(std::move(p));
        }
    }
    return puts;
}

// The received-light list: a threshold typed into an ON cell of CH1 and an OFF cell of
// CH2, the other following at the hysteresis.
std::vector<codec::PutRequest> thresholdListEdit(Session& s) {
    runPageReads(s, thlist::fullReads(s.model.working(), false));
    SettingsData edited = s.model.working();
    const std::vector<int> sensors = levels::shownSensors(edited, levels::kAllChannels);
    std::vector<std::vector<chart::ThresholdPair>> pairs;
    for (int sensor : sensors) {
        std::vector<chart::ThresholdPair> rows;
        for (int b = 0; b < edited.channel(sensor).beamCount; ++b) {
            rows.push_back(thlist::derivedPair(edited, sensor, b, false));
        }
        pairs.push_back(rows);
    }
    auto type = [&](size_t sensor, size_t beam, bool onCell) {
        chart::ThresholdPair& row = pairs.at(sensor).at(beam);
        const int32_t now = onCell ? row.on : row.off;
        const auto next = thlist::typedThreshold(row, onCell, now == 120 ? 110 : 120,
                                                 edited.channel(static_cast<int>(sensor)).hys);
        ASSERT_TRUE(next.has_value());
        row = *next;
    };
    type(0, 4, true);
    type(1, 9, false);
    return thlist::listPuts(edited, sensors, pairs, false);
}

// A page's write with bank 2 shown: it changes only the working set, which the bank write
// then sends as the bank's changed blocks.
WriteCase bankPageWrite(const char* name,
                        std::function<std::vector<codec::PutRequest>(Session&)> edit) {
    constexpr int kBank = 2;
    WriteCase c;
    c.name = name;
    c.prepare = [edit](Session& s) {
        // A bank is read whole before it is shown.
        ASSERT_EQ(s.tx->rereadBank(kBank), kRequestOk);
        ASSERT_EQ(s.tx->selectStoredSet(kBank), kRequestOk);
        s.puts = edit(s);
        ASSERT_FALSE(setHolds(s.model.storedSet(kBank), s.puts)) << "the bank holds the edit";
        ASSERT_EQ(s.tx->writeCurrentSet(s.puts), kRequestOk);
        ASSERT_NE(s.model.storedSet(kBank).edited, 0);
    };
    c.write = [](Session& s) { return s.tx->writeSelectedBank(); };
    c.holdsWhatWasMeant = [](Session& s) {
        StoredSet& bank = s.model.storedSet(kBank);
        const bool noted = bank.edited == 0;
        // Emptied first, so only the read can bring the values back.
        static_cast<SettingsData&>(bank) = SettingsData{};
        return noted && s.tx->rereadBank(kBank) == kRequestOk && setHolds(bank, s.puts);
    };
    c.stillUndone = [](const Session& s) { return s.model.storedSet(kBank).edited != 0; };
    return c;
}

std::vector<WriteCase> pageWriteCases() {
    return {
        pageWrite("PIO assignment", pioEdit),
        pageWrite("overall judgement", overallJudgementEdit),
        pageWrite("parallel outputs", parallelOutputEdit),
        pageWrite("groups", groupEdit),
        pageWrite("option switches", optionEdit),
        pageWrite("CH1 operation, extended",
                  [](Session& s) { return sensorOperationEdit(s, false); }),
        pageWrite("designated beams, all sensors", designatedBeamsEdit),
        pageWrite("fixed blanking beams, CH2", fixedBlankingBeamsEdit),
        pageWrite("beam thresholds, absolute",
                  [](Session& s) { return beamThresholdEdit(s, false); }),
        pageWrite("beam thresholds, ratio", [](Session& s) { return beamThresholdEdit(s, true); }),
        pageWrite("channel thresholds", channelThresholdEdit),
        pageWrite("received-light list", thresholdListEdit),
        bankPageWrite("bank: PIO assignment", pioEdit),
        bankPageWrite("bank: overall judgement", overallJudgementEdit),
        bankPageWrite("bank: parallel outputs", parallelOutputEdit),
        bankPageWrite("bank: groups", groupEdit),
        bankPageWrite("bank: option switches", optionEdit),
        bankPageWrite("bank: CH1 operation, extended",
                      [](Session& s) { return sensorOperationEdit(s, true); }),
        bankPageWrite("bank: designated beams, all sensors", designatedBeamsEdit),
        bankPageWrite("bank: fixed blanking beams, CH2", fixedBlankingBeamsEdit),
        bankPageWrite("bank: beam thresholds, absolute",
                      [](Session& s) { return beamThresholdEdit(s, false); }),
        bankPageWrite("bank: beam thresholds, ratio",
                      [](Session& s) { return beamThresholdEdit(s, true); }),
        bankPageWrite("bank: channel thresholds", channelThresholdEdit),
        bankPageWrite("bank: received-light list", thresholdListEdit),
    };
}

// Requests the emulator logged so far.
int loggedRequests(const std::string& log) {
    std::ifstream in(log);
    int lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
    }
    return lines;
}

// 1-based index of the first request of `op` ("ES" enable setting, "CB" clear bank) after
// request `after`, or 0.
int firstOpAfter(const std::string& log, const char* op, int after) {
    std::ifstream in(log);
    int index = 0;
    for (std::string line; std::getline(in, line);) {
        ++index;
        // Each line: identifier, start, count, payload ("00" unit, sequence digit, op, ...).
        std::istringstream fields(line);
        int id = 0;
        int start = 0;
        int count = 0;
        std::string payload;
        fields >> id >> start >> count >> payload;
        if (index > after && payload.size() >= 5 && payload.compare(3, 2, op) == 0) {
            return index;
        }
    }
    return 0;
}

// The records the session's journal holds, in order.
std::vector<journal::Record> journalRecords(const Session& s) {
    std::vector<journal::Record> records;
    std::string error;
    journal::forEachLine(
        s.journal.folder(),
        [&](const journal::JournalLine& line) {
            const std::optional<journal::Record> r = journal::parseRecord(line.bytes);
            EXPECT_TRUE(r.has_value()) << line.file << ":" << line.number;
            if (r) {
                records.push_back(*r);
            }
            return true;
        },
        error);
    EXPECT_EQ(error, "");
    return records;
}

// What the journal says of a write that returned `result`: every start record has its end,
// an end is ok exactly when the write succeeded, and what a stopped write reports as
// written is part of what it announced. A write that changed nothing before it stopped is
// refused, never ok.
void expectJournalTellsTheTruth(const Session& s, int result) {
    const std::vector<journal::Record> records = journalRecords(s);
    ASSERT_EQ(records.size() % 2, 0u) << "a start record without its end";
    if (result == kRequestOk) {
        ASSERT_FALSE(records.empty()) << "a write the journal does not know";
    }
    for (size_t i = 0; i + 1 < records.size(); i += 2) {
        const journal::Record& start = records[i];
        const journal::Record& end = records[i + 1];
        ASSERT_EQ(start.kind, journal::RecordKind::Start);
        ASSERT_EQ(end.kind, journal::RecordKind::End);
        EXPECT_EQ(start.operationId, end.operationId);
        EXPECT_EQ(end.result == journal::Result::Ok, result == kRequestOk)
            << journal::resultName(end.result) << ": " << end.message;
        if (end.result == journal::Result::Ok) {
            EXPECT_EQ(end.fingerprintAfter, start.fingerprintAfter);
            continue;
        }
        EXPECT_NE(end.message, "");
        for (const bankfile::FieldChange& written : end.changes) {
            bool announced = false;
            for (const bankfile::FieldChange& meant : start.changes) {
                announced =
                    announced || (meant.name == written.name && meant.after == written.after);
            }
            EXPECT_TRUE(announced) << "written but not announced: " << written.name;
        }
    }
}

struct Baseline {
    int before = 0;   // requests up to the start of the write
    int total = 0;    // requests up to its end
    int change = 0;   // the request that hands the change over (enable setting, bank clear)
    int settled = 0;  // the last request before the controller's answers settle its fate
};

class FaultMatrix : public ::testing::TestWithParam<size_t> {
  protected:
    const WriteCase& writeCase() const {
        static const std::vector<WriteCase> cases = writeCases();
        return cases.at(GetParam());
    }

    Baseline baseline() {
        const TempDir temp;
        const std::string log = temp.file("requests.log");
        Session s;
        EXPECT_TRUE(s.connect("--log " + log));
        writeCase().prepare(s);
        Baseline b;
        b.before = loggedRequests(log);
        EXPECT_EQ(writeCase().write(s), kRequestOk);
        b.total = loggedRequests(log);
        expectJournalTellsTheTruth(s, kRequestOk);
        EXPECT_TRUE(s.host.messagesShown().empty());
        EXPECT_TRUE(writeCase().holdsWhatWasMeant(s));
        b.change = firstOpAfter(log, "ES", b.before);
        // Enable setting is settled by the read-back that ends the write.
        b.settled = b.total;
        if (b.change == 0) {
            // A bank clear is settled by the status check after factory end and reset.
            b.change = firstOpAfter(log, "CB", b.before);
            b.settled = firstOpAfter(log, "GC", firstOpAfter(log, "RS", b.change));
        }
        return b;
    }
};

TEST_P(FaultMatrix, APulledCableAtEveryRequestIsAFailureThatSaysWhereItFailed) {
    const Baseline b = baseline();
    ASSERT_GT(b.total, b.before);
    ASSERT_GT(b.change, b.before) << "no request that hands over the change";
    ASSERT_GE(b.settled, b.change);
    RecordProperty("failure_points", b.total - b.before);
    for (int answered = b.before; answered < b.total; ++answered) {
        SCOPED_TRACE("line silent after request " + std::to_string(answered) + " of " +
                     std::to_string(b.before) + ".." + std::to_string(b.total) +
                     ", change handed over at " + std::to_string(b.change));
        Session s;
        ASSERT_TRUE(s.connect("--hang-after " + std::to_string(answered)));
        writeCase().prepare(s);
        EXPECT_EQ(writeCase().write(s), kRequestFailed);
        expectJournalTellsTheTruth(s, kRequestFailed);
        EXPECT_TRUE(s.link->lastRequestLostConnection());
        EXPECT_EQ(s.host.endCount(), 1);
        const int failedAt = answered + 1;
        if (failedAt < b.change) {
            EXPECT_TRUE(writeCase().stillUndone(s));
        }
        LostConnection expected;
        expected.cause = msg::kCommunicationCut;
        expected.writeMayHaveLanded = failedAt >= b.change && failedAt <= b.settled;
        EXPECT_EQ(s.host.messagesShown(),
                  std::vector<std::string>{lostConnectionMessage(expected)});
    }
}

TEST_P(FaultMatrix, DroppedOrSpoiledRepliesEndInTheTruthOrAReportedFailure) {
    // Which of the lines carried the write through, so a run shows how much of the row
    // the read-back check saw.
    std::string succeeded;
    for (const char* fault : {"--drop", "--corrupt"}) {
        for (int every : {3, 7}) {
            const std::string options = std::string(fault) + " " + std::to_string(every);
            SCOPED_TRACE(options);
            Session s;
            if (!s.connect(options)) {
                // The start-up reads did not get through: nothing was written, and the
                // user was told.
                EXPECT_FALSE(s.host.messagesShown().empty());
                continue;
            }
            writeCase().prepare(s);
            const int result = writeCase().write(s);
            expectJournalTellsTheTruth(s, result);
            if (result == kRequestOk) {
                succeeded += (succeeded.empty() ? "" : ", ") + options;
                EXPECT_EQ(s.host.messagesShown(), std::vector<std::string>{});
                EXPECT_TRUE(writeCase().holdsWhatWasMeant(s));
            } else {
                EXPECT_FALSE(s.host.messagesShown().empty());
            }
        }
    }
    RecordProperty("succeeded_with", succeeded);
}

INSTANTIATE_TEST_SUITE_P(Writes, FaultMatrix, ::testing::Range<size_t>(0, writeCases().size()),
                         [](const auto& row) {
                             // Words stay apart: "fixed blanking beams, CH2" becomes
                             // fixed_blanking_beams_CH2.
                             std::string name;
                             bool apart = false;
                             for (const char* c = writeCases().at(row.param).name; *c != '\0';
                                  ++c) {
                                 if (!std::isalnum(static_cast<unsigned char>(*c))) {
                                     apart = !name.empty();
                                     continue;
                                 }
                                 if (apart) {
                                     name += '_';
                                     apart = false;
                                 }
                                 name += *c;
                             }
                             return name;
                         });

}  // namespace
}  // namespace qavix::test

#endif
