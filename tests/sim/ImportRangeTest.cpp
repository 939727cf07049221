// The range check a bank file import applies, written here from the table of allowed
// values and run against the emulator's factory settings: a bank exported from the
// emulator must import again.

#include <gtest/gtest.h>

#include <functional>

#include "SimTestHelper.h"

namespace qavix::sim {
namespace {

using test::Sim;

// One stored set as the import sees it, taken from a bank image.
struct ImportedSet {
    std::string image;  // 1134 bytes as hex
    int byte(int index) const { return std::stoi(image.substr(2 * index, 2), nullptr, 16); }
    int decimal(int index) const { return std::stoi(image.substr(2 * index, 2)); }
    int word(int index) const { return std::stoi(image.substr(2 * index, 4), nullptr, 16); }
    std::string text(int index, int bytes) const { return image.substr(2 * index, 2 * bytes); }
};

bool inAny(int v, std::initializer_list<std::pair<int, int>> ranges) {
    for (const auto& [lo, hi] : ranges) {
        if (v >= lo && v <= hi) {
            return true;
        }
    }
    return false;
}

// The name of the first field outside its range, or "" when the set passes.
std::string firstRangeFailure(const ImportedSet& s) {
    char name[32];
    auto fail = [&](const char* format, int a = 0, int b = 0) {
        std::snprintf(name, sizeof name, format, a, b);
        return std::string(name);
    };
    const int g = 192;
    const int x = 1040;
    if (!inAny(s.decimal(g + 28), {{1, 3}})) {
        return "JOINT_NUM";
    }
    for (int pin = 0; pin < 16; ++pin) {
        const int pio = std::stoi(s.text(g + 32 + 2 * pin, 2), nullptr, 16);
        if (!inAny(
                pio,
                {{0, 0}, {0x8000, 0x8000}, {0x8010, 0x8015}, {0x8030, 0x805B}, {0x8060, 0x806B}})) {
            return fail("PIO_%02d", pin + 1);
        }
    }
    if (!inAny(s.byte(g + 29), {{0, 0}, {0x10, 0x11}})) {
        return "TCH_CNF";
    }
    for (int k = 0; k < 3; ++k) {
        if (!inAny(s.byte(x + 6 + k), {{0, 1}})) {
            return fail("FIX_CNF%d", k + 1);
        }
        if (!inAny(s.word(x + 10 + 2 * k), {{0, 128}})) {
            return fail("ALL_ON%d", k + 1);
        }
        if (!inAny(s.word(x + 16 + 2 * k), {{0, 128}})) {
            return fail("ALL_OFF%d", k + 1);
        }
    }
    if (!inAny(s.byte(x + 9), {{0, 2}})) {
        return "ALL_ONOFF_CNF";
    }
    if (!inAny(s.byte(x + 22), {{0, 2}})) {
        return "PARA_CNFF";
    }
    for (int k = 0; k < 2; ++k) {
        if (!inAny(s.decimal(x + 23 + k), {{0, 1}})) {
            return fail("PARA_TYPE%d", k + 1);
        }
        if (!inAny(s.byte(x + 25 + k), {{0, 6}, {0x11, 0x16}, {0x21, 0x26}})) {
            return fail("PARA_RES%d", k + 1);
        }
        if (!inAny(s.decimal(x + 27 + k), {{0, 1}})) {
            return fail("PARA_UNIT%d", k + 1);
        }
    }
    if (!inAny(s.byte(x + 29), {{0, 2}})) {
        return "GRP_CNF";
    }
    for (int grp = 0; grp < 16; ++grp) {
        if (!inAny(s.byte(x + 30 + grp), {{0, 128}})) {
            return "GRP_UP_AX";
        }
        if (!inAny(s.byte(x + 46 + grp), {{0, 3}})) {
            return "GRP_UP_CH";
        }
        if (!inAny(s.byte(x + 62 + grp), {{0, 128}})) {
            return "GRP_LOW_AX";
        }
        if (!inAny(s.byte(x + 78 + grp), {{0, 3}})) {
            return "GRP_LOW_CH";
        }
    }
    for (int n = 0; n < 3; ++n) {
        for (int b = 0; b < 128; ++b) {
            if (!inAny(s.byte(272 + 128 * n + b), {{0, 200}})) {
                return fail("AXIS_TH%d_%d", n + 1, b / 16 + 1);
            }
            if (!inAny(s.byte(656 + 128 * n + b), {{20, 200}})) {
                return fail("ZERO%d_%d", n + 1, b / 16 + 1);
            }
        }
        const int c = 64 * n;
        const int on = s.byte(c + 40);
        const int off = s.byte(c + 41);
        const int function = s.byte(c + 42);
        const int floConf = s.byte(c + 44);
        if (!inAny(s.byte(x + n), {{0, 200}})) {
            return fail("HYS%d", n + 1);
        }
        if (!inAny(s.byte(x + 3 + n), {{0, 1}})) {
            return fail("TH_CNF%d", n + 1);
        }
        if (!inAny(on, {{18, 100}})) {
            return fail("ON_TH%d", n + 1);
        }
        if (!inAny(off, {{8, 92}})) {
            return fail("OFF_TH%d", n + 1);
        }
        if (on <= off) {
            return fail("ON_OFF_TH%d", n + 1);
        }
        if (!inAny(function, {{0, 1}})) {
            return fail("FUNCTION%d", n + 1);
        }
        if (!inAny(s.byte(c + 43), {{0, 1}})) {
            return fail("FIX_CONF%d", n + 1);
        }
        // The three floating-blanking switches are bits 2 of FUNCTION and 4, 5 of
        // FLO_CONF; the fourth setting is FLO_CONF without them.
        if (!inAny(floConf & ~0x30, {{0, 3}})) {
            return fail("FLO_CONF%d", n + 1);
        }
    }
    return "";
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
            EXPECT_EQ(firstRangeFailure({sim.text(150 + bank, 0, 0)}), "");
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
    EXPECT_EQ(firstRangeFailure({image}), "");
}

TEST(ImportRange, WritesThroughIndividualCodesShowInTheCurrentImage) {
    Sim sim;
    const std::string before = imageFromReads(sim);
    ASSERT_EQ(sim.write(6, 1, 1, "40"), kOk);
    ASSERT_EQ(sim.write(35, 0, 2, "2106"), kOk);
    std::string expected = before;
    expected.replace(2 * (64 + 40), 2, "40");
    expected.replace(2 * (1040 + 25), 4, "2106");
    EXPECT_EQ(imageFromReads(sim), expected);
    EXPECT_EQ(firstRangeFailure({imageFromReads(sim)}), "");
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
    };
    for (const Damage& d : cases) {
        std::string image = good;
        image.replace(static_cast<size_t>(2 * d.byte), 2, d.value);
        if (std::string(d.name) == "PIO_04") {
            image.replace(static_cast<size_t>(2 * d.byte), 4, "8016");
        }
        EXPECT_EQ(firstRangeFailure({image}), d.name);
    }
    Sim cleared;
    cleared.op(Op::FactStart);
    cleared.op(Op::ClearBank, 0);
    EXPECT_EQ(firstRangeFailure({cleared.text(150, 0, 0)}), "JOINT_NUM");
}

}  // namespace
}  // namespace qavix::sim
