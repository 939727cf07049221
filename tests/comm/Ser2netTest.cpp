// The program's own sequences through Debian's ser2net on loopback, its connector the
// pseudo-terminal of a qavix-sim: Read all and the bank reads give what they give over the
// pseudo-terminal itself, and a lost server is a lost line with the recovery files, its
// message saying who closed it. (Writes through a server: tests/link/Ser2netLinkTest.cpp.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "FakeLink.h"
#include "FileText.h"
#include "TempDir.h"
#include "WaitUntil.h"
#include "comm/CCommLink.h"
#include "comm/CommMessages.h"
#include "comm/Transactions.h"
#include "files/RecoveryFiles.h"

#if defined(QAVLINK_PATH) && defined(QAVIX_SIM_PATH)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Ser2netProcess.h"
#include "SimProcess.h"

namespace qavix::test {
namespace {

using namespace std::chrono_literals;

// What the initial read leaves in the model, to compare one path with another.
struct ReadResult {
    std::array<StoredSet, 5> sets;
    std::array<ErrorHistoryEntry, kErrorHistoryCount> errors;
};

bool sameSets(const StoredSet& a, const StoredSet& b) {
    return a.channels == b.channels && a.general == b.general && a.compatible == b.compatible &&
           a.loaded == b.loaded;
}

bool sameEntry(const ErrorHistoryEntry& a, const ErrorHistoryEntry& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second && a.codeText == b.codeText &&
           a.serialText == b.serialText;
}

class Ser2net : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Ser2netProcess::available()) {
            GTEST_SKIP() << "ser2net is not installed (scripts/setup.sh installs it)";
        }
        timings.resetSettle = 0ms;
        timings.retryDelay = 1ms;
    }
    void TearDown() override { disconnect(); }

    // Connects through `target` as the program does at start-up.
    void connect(const std::string& target) {
        disconnect();
        ::setenv("QAVLINK_COM1", target.c_str(), 1);
        model = std::make_unique<DeviceModel>();
        link = std::make_unique<CCommLink>(host, *model, timings);
        ASSERT_TRUE(link->start(QAVLINK_PATH)) << link->libraryError();
        LinkSettings s;
        s.blocks[0] = {9600, 7, 2, 2, 0, 0};
        link->setSettings(s);
        link->setConnecting(true);
        ASSERT_EQ(link->open(), kRequestOk);
        link->setConnecting(false);
        ASSERT_EQ(link->checkStatus(), kRequestOk) << target;
        link->suspendPolling();
        tx = std::make_unique<Transactions>(*link, *model);
    }
    void disconnect() {
        tx.reset();
        link.reset();
        ::unsetenv("QAVLINK_COM1");
    }

    ReadResult initialRead() {
        ReadResult r;
        EXPECT_EQ(tx->readAll(), kRequestOk);
        EXPECT_EQ(tx->readBanks(), kRequestOk);
        for (int k = 0; k < kErrorHistoryCount; ++k) {
            EXPECT_EQ(link->request(107 + k), kRequestOk) << k;
        }
        for (int i = 0; i < 5; ++i) {
            r.sets[static_cast<size_t>(i)] = model->storedSet(i);
        }
        r.errors = model->errorHistory;
        return r;
    }

    CommTimings timings;
    ScriptedHost host;
    std::unique_ptr<DeviceModel> model;
    std::unique_ptr<CCommLink> link;
    std::unique_ptr<Transactions> tx;
};

TEST_F(Ser2net, InitialReadThroughEitherServerIsTheReadOverThePseudoTerminal) {
    SimProcess sim({"--sensors", "40,32"});
    ASSERT_FALSE(sim.device().empty());
    connect(sim.device());
    const ReadResult direct = initialRead();
    ASSERT_FALSE(direct.errors[0].isEmpty()) << "an error log to compare";
    for (bool rfc2217 : {false, true}) {
        Ser2netProcess server({rfc2217, sim.device(), "9600e72"});
        ASSERT_TRUE(server.running()) << server.log();
        connect(server.target());
        const ReadResult through = initialRead();
        for (size_t i = 0; i < direct.sets.size(); ++i) {
            EXPECT_TRUE(sameSets(direct.sets[i], through.sets[i]))
                << server.target() << ": set " << i;
        }
        for (size_t k = 0; k < direct.errors.size(); ++k) {
            EXPECT_TRUE(sameEntry(direct.errors[k], through.errors[k]))
                << server.target() << ": error log entry " << k;
        }
        disconnect();
    }
    EXPECT_TRUE(host.messagesShown().empty());
}

TEST_F(Ser2net, AServerKilledDuringTheReadIsALostLineWithTheRecoveryFiles) {
    // Replies paced at 9600 baud, so Read all is still running when the server dies.
    const TempDir temp;
    const std::string folder = temp.path().string();
    const std::string requests = temp.file("requests.log");
    SimProcess sim({"--sensors", "40,32", "--line-rate", "9600", "--log", requests});
    Ser2netProcess server({false, sim.device(), "9600e72"});
    ASSERT_TRUE(server.running()) << server.log();
    connect(server.target());
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 2;
    when.tm_mday = 9;
    link->setRecoveryWriter(
        [folder, when](const DeviceModel& m) { return saveRecoveryFiles(m, {folder}, when); });
    model->selectSet(2);
    model->working().channel(0).axisTh[0] = 77;
    model->markEdited(2);

    // Killed once the read of everything is under way.
    const size_t before = lines(readBytes(requests)).size();
    std::thread killer([&] {
        waitUntil([&] { return lines(readBytes(requests)).size() > before + 2; }, 10s);
        server.kill();
    });
    const int result = tx->readAll();
    killer.join();
    EXPECT_NE(result, kRequestOk);
    EXPECT_EQ(host.endCount(), 1);
    const std::string file = folder + "/" + recoveryFileName(2, when);
    EXPECT_TRUE(std::filesystem::exists(file));
    ASSERT_EQ(host.messagesShown().size(), 1u);
    const std::string shown = host.messagesShown()[0];
    EXPECT_NE(shown.find("接続先 " + server.target()), std::string::npos) << shown;
    EXPECT_NE(shown.find("デバイスサーバー側で切られました"), std::string::npos) << shown;
    EXPECT_NE(shown.find(msg::kCommunicationCut), std::string::npos) << shown;
    EXPECT_NE(shown.find(file), std::string::npos) << shown;
}

TEST_F(Ser2net, ASecondClientKickingUsOffGivesAMessageThatSaysSo) {
    SimProcess sim({"--sensors", "40"});
    Ser2netProcess server({true, sim.device(), "9600e72", true});
    ASSERT_TRUE(server.running()) << server.log();
    connect(server.target());
    const int other = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(server.port()));
    ASSERT_EQ(::connect(other, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_NE(link->request(59), kRequestOk);  // a page's read, its status check first
    ::close(other);
    ASSERT_EQ(host.messagesShown().size(), 1u);
    const std::string shown = host.messagesShown()[0];
    EXPECT_NE(shown.find("通信ポート COM1 の接続先 " + server.target()), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("別のクライアントが同じポートに接続"), std::string::npos) << shown;
}

}  // namespace
}  // namespace qavix::test
#endif
