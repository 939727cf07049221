// Every write transaction against the emulator, with the line failing at each of its
// requests (a pulled cable) and with replies dropped or spoiled now and then. Whatever
// happens: a success means the controller holds what was meant; a failure is reported as
// one, with the message that fits where it failed; nothing is reported done that was not.
//
// A later write (a setting page's) adds a row to writeCases().

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
#include "model/ClockText.h"
#include "model/Codec.h"
#include "model/IdentificationNumber.h"

#ifdef QAVLINK_PATH

namespace qavix::test {
namespace {

// The emulator in this process answers at once; a silent line is known after a short wait.
CommTimings matrixTimings() {
    CommTimings t = instantTimings(std::chrono::milliseconds(60000));
    t.requestTimeout = std::chrono::milliseconds(25);
    return t;
}

// One connection to the emulator, read as the program reads at start-up.
struct Session {
    ScriptedHost host;
    DeviceModel model;
    std::unique_ptr<CCommLink> link;
    std::unique_ptr<Transactions> tx;

    bool connect(const std::string& simOptions) {
        setenv("QAVLINK_COM1", ("sim:--sensors 40,32 --instant-timeout on " + simOptions).c_str(),
               1);
        link = std::make_unique<CCommLink>(host, model, matrixTimings());
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
};

// A put's block as the controller now holds it, read with its paired read code (tried as
// often as the program tries a call, since replies may be dropped).
bool controllerHolds(Session& s, const std::vector<codec::PutRequest>& puts) {
    for (const codec::PutRequest& put : puts) {
        const int readCode = codec::pairedReadCode(put.code);
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
    return true;
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

std::vector<WriteCase> writeCases() {
    return {
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
         [](Session& s) { s.model.working().channel(1).zero.fill(90); },
         [](Session& s) { return s.tx->writeCurrentValues(); },
         [](Session& s) {
             s.model.working().channel(1).zero.fill(0);
             return s.link->request(102, 2, 128, 32) == kRequestOk &&
                    s.model.working().channel(1).zero[31] == 90;
         }},
        {"clear banks", [](Session& s) { ASSERT_EQ(s.model.storedSet(3).compatible, 1); },
         [](Session& s) { return s.tx->clearBanks({3}); },
         [](Session& s) {
             s.model.storedSet(3).compatible = 1;
             return s.tx->readBanks() == kRequestOk && s.model.storedSet(3).compatible == 0;
         },
         // A failed clear must not show the bank as cleared.
         [](const Session& s) { return s.model.storedSet(3).compatible == 1; }},
        {"clock sync", [](Session&) {},
         [](Session& s) {
             return s.link->request(kCodePutControl, 0, 0, 0, kRequestTimeoutMs, 0, 0,
                                    clockSetText(clockTime()));
         },
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
            if (writeCase().write(s) == kRequestOk) {
                EXPECT_EQ(s.host.messagesShown(), std::vector<std::string>{});
                EXPECT_TRUE(writeCase().holdsWhatWasMeant(s));
            } else {
                EXPECT_FALSE(s.host.messagesShown().empty());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Writes, FaultMatrix, ::testing::Range<size_t>(0, writeCases().size()),
                         [](const auto& row) {
                             std::string name;
                             for (const char* c = writeCases().at(row.param).name; *c != '\0';
                                  ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c))) {
                                     name += *c;
                                 }
                             }
                             return name;
                         });

}  // namespace
}  // namespace qavix::test

#endif
