// The check of the bank images the emulator starts from (the program's import ranges),
// run against the emulator's own banks: a bank exported from the emulator must import
// again, and the emulator must start from it.

#include <gtest/gtest.h>

#include <functional>

#include "SimTestHelper.h"
#include "sim/BankImageCheck.h"
#include "sim/HexText.h"

namespace qavix::sim {
namespace {

using test::Sim;

// The first refused field of an image given as hexadecimal text.
std::string firstRangeFailure(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(fromHex(hex, bytes));
    EXPECT_EQ(bytes.size(), static_cast<size_t>(kImageSize));
    return firstRefusedField(SetMemory(bytes.begin(), bytes.end()));
}

TEST(ImportRange, FactoryBanksPassForEverySensorLayout) {
    const std::vector<std::vector<int>> layouts = {{40, 32}, {128}, {1, 64, 128}, {8, 8, 8}};
    for (const auto& beams : layouts) {
        Options o;
        o.beams = beams;
        Sim sim(o);
        for (int bank = 0; bank < 4; ++bank) {
            SCOPED_TRACE("sensors " + std::to_string(beams.size()) + ", bank " +
                         std::to_string(bank + 1));
            EXPECT_EQ(firstRangeFailure(sim.text(150 + bank, 0, 0)), "");
        }
    }
}

// The current set's bank image as an encoder builds it from the individual reads.
std::string imageFromReads(Sim& sim) {
    std::string image;
    for (int ch = 0; ch < 3; ++ch) {
        image += sim.text(72, ch, 1) + sim.text(84, ch, 1) + sim.text(85, ch, 1) + "00";
        image += sim.text(78, ch, 1) + sim.text(83, ch, 1);
        image += sim.text(97, 16 * ch, 16) + sim.text(66, 16 * ch, 16);
        image += sim.text(67, ch, 1) + sim.text(68, ch, 1) + sim.text(71, ch, 1) +
                 sim.text(96, ch, 1) + sim.text(101, ch, 1) + "000000";
        image += sim.text(75, ch, 1) + sim.text(76, ch, 1) + sim.text(73, ch, 1) +
                 sim.text(74, ch, 1) + std::string(22, '0');
    }
    std::string general;
    for (char c :
         sim.run(Op::GetString, 57, 0, 20).text + sim.run(Op::GetControl, 46).text.substr(25, 5)) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(c));
        general += hex;
    }
    general += "000000" + sim.text(80) + sim.text(148) + "0000" + sim.text(63) + sim.text(64);
    image += general;
    image += sim.text(103, 0, 0) + sim.text(102, 0, 0);
    image += sim.text(104) + sim.text(105) + sim.text(128) + sim.text(127) + sim.text(129) +
             sim.text(130) + sim.text(133) + sim.text(134) + sim.text(135) + sim.text(136) +
             sim.text(143) + sim.text(144) + sim.text(145);
    return image;
}

TEST(ImportRange, CurrentSetReadsAssembleIntoItsBankImage) {
    // Bank 1 leaves the factory as a copy of the current set, so the individual reads of
    // the current set must put together exactly its image.
    Sim sim;
    const std::string image = imageFromReads(sim);
    ASSERT_EQ(image.size(), 2u * 1134);
    EXPECT_EQ(image, sim.text(150, 0, 0));
    EXPECT_EQ(firstRangeFailure(image), "");
}

TEST(ImportRange, TheCheckFindsABadField) {
    // Evidence that the check above can fail: damaged copies of a good image.
    Sim sim;
    const std::string good = sim.text(150, 0, 0);
    struct Damage {
        int byte;
        const char* value;
        const char* name;
    };
    const Damage cases[] = {
        {192 + 28, "04", "JOINT_NUM"},
        {192 + 32 + 2 * 3, "80", "PIO_04"},
        {656 + 128 + 17, "13", "ZERO2_2"},
        {272 + 128 + 17, "C9", "AXIS_TH2_2"},
        {40, "0C", "ON_TH1"},
        {64 + 41, "32", "ON_OFF_TH2"},
        {1040 + 25, "07", "PARA_RES1"},
        {192 + 29, "12", "TCH_CNF"},
        // What no stored set holds: a sensor of 129 beams (even one not connected),
        // inversion flags that are not decimal, a connected sensor without beams.
        {128, "81", "TYPE_1 of CH3"},
        {192 + 64 + 15, "0A", "PIO_INV"},
        {64, "00", "TYPE_1 of CH2"},
    };
    for (const Damage& d : cases) {
        std::string image = good;
        image.replace(static_cast<size_t>(2 * d.byte), 2, d.value);
        if (std::string(d.name) == "PIO_04") {
            image.replace(static_cast<size_t>(2 * d.byte), 4, "8016");
        }
        EXPECT_EQ(firstRangeFailure(image), d.name);
    }
    Sim cleared;
    cleared.op(Op::FactStart);
    cleared.op(Op::ClearBank, 0);
    EXPECT_EQ(firstRangeFailure(cleared.text(150, 0, 0)), "JOINT_NUM");
}

}  // namespace
}  // namespace qavix::sim
