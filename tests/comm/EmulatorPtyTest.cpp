// Every put the program can send, over a real pseudo-terminal to qavix-sim, written in one
// setting sequence and verified by reading each block back with its paired read code.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "FakeLink.h"
#include "comm/CCommLink.h"
#include "comm/Transactions.h"
#include "model/Codec.h"

#if defined(QAVLINK_PATH) && defined(QAVIX_SIM_PATH)
#include "SimProcess.h"

namespace qavix::test {
namespace {

TEST(EmulatorPty, EveryPutCodeIsWrittenAndVerifiedOverTheLine) {
    qavix::test::SimProcess sim({"--sensors", "40,32"});
    ASSERT_FALSE(sim.device().empty());
    setenv("QAVLINK_COM1", sim.device().c_str(), 1);
    ScriptedHost host;
    DeviceModel model;
    CommTimings t;
    t.resetSettle = std::chrono::milliseconds(0);
    CCommLink link(host, model, t);
    ASSERT_TRUE(link.start(QAVLINK_PATH)) << link.libraryError();
    LinkSettings settings;
    settings.blocks[0] = {115200, 8, 0, 0, 0, 0};
    link.setSettings(settings);
    link.suspendPolling();
    ASSERT_EQ(link.open(), kRequestOk);
    Transactions tx(link, model);
    ASSERT_EQ(tx.readAll(), kRequestOk);

    // New values in every block, so a put that lands in the wrong place shows on read-back.
    SettingsData edited = model.working();
    edited.general.text59 = "QAVIX-TEST-TEXT";
    edited.general.idText = "00BEEF";
    edited.general.pio[2] = "8031";
    edited.general.pioInv[2] = 1;
    edited.general.tchCnf = 0x11;
    edited.general.allOn = {3, 4, 5};
    edited.general.grpUp[0] = 7;
    for (int c = 0; c < 2; ++c) {
        ChannelRecord& ch = edited.channel(c);
        ch.axisTh[1] = 61 + c;
        ch.zero[2] = 111 + c;
        ch.hys = 12;
        ch.onTh = 40;
        ch.setAxis[3] = beamBitWeight(3);
        ch.fixAxis[4] = beamBitWeight(4);
        ch.sensorId = "0A0" + std::to_string(c);
    }
    std::vector<codec::PutRequest> puts;
    for (int code = 1; code <= kCodeLastPut; ++code) {
        for (int channel = 1; channel <= 2; ++channel) {
            codec::PutRequest put = codec::encodePut(code, channel, edited);
            const bool perChannel = put.channel != 0;
            if (put.code != 0 && codec::pairedReadCode(code) != 0 && (perChannel || channel == 1)) {
                puts.push_back(put);
            }
        }
    }
    ASSERT_GT(puts.size(), 60u);
    EXPECT_EQ(tx.writeCurrentSet(puts), kRequestOk);
    EXPECT_TRUE(host.messagesShown().empty()) << host.messagesShown().front();

    // And the controller now holds them.
    model.working().channel(1).axisTh[1] = 0;
    model.working().general.idText.clear();
    ASSERT_EQ(link.request(103, 2, 128, 32), kRequestOk);
    ASSERT_EQ(link.request(62), kRequestOk);
    EXPECT_EQ(model.working().channel(1).axisTh[1], 62);
    EXPECT_EQ(model.working().general.idText, "00BEEF");
    unsetenv("QAVLINK_COM1");
}

}  // namespace
}  // namespace qavix::test
#endif
