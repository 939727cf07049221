// Several links in one process, each on a library connection of its own: the way qavixctl
// reads controllers on several lines at once.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "FakeLink.h"
#include "comm/CCommLink.h"
#include "comm/Transactions.h"

namespace qavix::test {
namespace {

CommTimings quickTimings() {
    CommTimings t;
    t.resetSettle = std::chrono::milliseconds(0);
    t.retryDelay = std::chrono::milliseconds(1);
    t.requestTimeout = std::chrono::milliseconds(250);
    return t;
}

#ifdef QAVLINK_PATH

// One controller's connection: host, data, link and its sequences.
struct Station {
    explicit Station(const std::string& port) : link(host, model, quickTimings()), tx(link, model) {
        settings.blocks[0] = {9600, 7, 2, 2, 0, 0};
        settings.portName = port;
    }
    bool connect() {
        if (!link.start(QAVLINK_PATH, LinkConnection::Own)) {
            return false;
        }
        link.setSettings(settings);
        link.setConnecting(true);
        link.open();
        link.setConnecting(false);
        return link.checkStatus() == kRequestOk;
    }

    ScriptedHost host;
    DeviceModel model;
    LinkSettings settings;
    CCommLink link;
    Transactions tx;
};

TEST(OwnConnection, LinksOnTwoLinesReadTheirOwnControllersAtOnce) {
    Station small("sim:--sensors 40");
    Station large("sim:--sensors 128,96,64");
    ASSERT_TRUE(small.connect()) << small.link.libraryError();
    ASSERT_TRUE(large.connect()) << large.link.libraryError();
    int smallRead = kRequestFailed;
    int largeRead = kRequestFailed;
    std::thread a([&] { smallRead = small.tx.readAll(); });
    std::thread b([&] { largeRead = large.tx.readAll(); });
    a.join();
    b.join();
    ASSERT_EQ(smallRead, kRequestOk);
    ASSERT_EQ(largeRead, kRequestOk);
    EXPECT_EQ(small.model.working().general.jointNum, 1);
    EXPECT_EQ(small.model.working().channel(0).beamCount, 40);
    EXPECT_EQ(large.model.working().general.jointNum, 3);
    EXPECT_EQ(large.model.working().channel(2).beamCount, 64);

    // Ending one link closes its line only.
    small.link.end();
    EXPECT_EQ(large.tx.rereadBank(2), kRequestOk);
    EXPECT_TRUE(large.host.messagesShown().empty());
}

#endif

TEST(OwnConnection, ALibraryWithOneConnectionIsRefusedForAnOwnLink) {
    FakeLink fake;  // has no connection entries
    ScriptedHost host;
    DeviceModel model;
    CCommLink link(host, model, quickTimings());
    EXPECT_FALSE(link.start(FAKE_LINK_PATH, LinkConnection::Own));
    EXPECT_NE(link.libraryError().find("1つの接続"), std::string::npos) << link.libraryError();
    // The same library serves a shared link.
    EXPECT_TRUE(link.start(FAKE_LINK_PATH));
}

}  // namespace
}  // namespace qavix::test
