#include <gtest/gtest.h>

#include "sim/Options.h"

namespace qavix::sim {
namespace {

TEST(Options, ParsesEveryOptionFromText) {
    Options o;
    std::string error;
    ASSERT_TRUE(parseOptionText(
        "sim:--sensors 40,32,128 --unit 2 --state 2 --error c8 --scenario a.ini --seed 99 "
        "--line-rate 19200 --bits 10 --drop 5 --corrupt 7 --hang-after 30 --log /tmp/x.log "
        "--log-times on "
        "--instant-timeout on",
        o, error))
        << error;
    EXPECT_EQ(o.beams, (std::vector<int>{40, 32, 128}));
    EXPECT_EQ(o.unit, 2);
    EXPECT_TRUE(o.moreUnits.empty());
    ASSERT_TRUE(parseOptionText("--more-units 3,0,99", o, error)) << error;
    EXPECT_EQ(o.moreUnits, (std::vector<int>{3, 0, 99}));
    EXPECT_EQ(o.state, 2);
    EXPECT_EQ(o.errorNumber, 0xC8);
    EXPECT_EQ(o.scenarioFile, "a.ini");
    EXPECT_EQ(o.seed, 99u);
    EXPECT_EQ(o.lineRate, 19200);
    EXPECT_EQ(o.bitsPerCharacter, 10);
    EXPECT_EQ(o.dropEvery, 5);
    EXPECT_EQ(o.corruptEvery, 7);
    EXPECT_EQ(o.hangAfter, 30);
    EXPECT_EQ(o.logFile, "/tmp/x.log");
    EXPECT_TRUE(o.logTimes);
    EXPECT_TRUE(o.instantTimeout);
}

TEST(Options, ArgumentVectorAndEqualsForm) {
    Options o;
    std::string error;
    ASSERT_TRUE(
        parseOptions({"--sensors=1", "--state=30", "--error", "0x35", "--line-rate=tty"}, o, error))
        << error;
    EXPECT_EQ(o.beams, std::vector<int>{1});
    EXPECT_EQ(o.state, 30);
    EXPECT_EQ(o.errorNumber, 0x35);
    EXPECT_EQ(o.lineRate, -1);
}

TEST(Options, DefaultsAndBarePrefix) {
    Options o;
    std::string error;
    ASSERT_TRUE(parseOptionText("sim", o, error));
    ASSERT_TRUE(parseOptionText("sim:", o, error));
    ASSERT_TRUE(parseOptionText("", o, error));
    EXPECT_EQ(o.beams, (std::vector<int>{40, 32}));
    EXPECT_EQ(o.unit, 0);
    EXPECT_EQ(o.bitsPerCharacter, 11);
    EXPECT_EQ(o.hangAfter, -1);
}

TEST(Options, BadInputIsRefusedAndChangesNothing) {
    const char* bad[] = {
        "--sensors 0",     "--sensors 129",    "--sensors 40,",   "--sensors 1,2,3,4",
        "--sensors ,40",   "--sensors 4x",     "--sensors",       "--unit -1",
        "--unit 100",      "--state 3",        "--state 31",      "--error ZZ",
        "--error 1FF",     "--seed -5",        "--bits 6",        "--drop -1",
        "--hang-after x",  "--line-rate fast", "--frobnicate 1",  "--unit 1 extra",
        "--scenario",      "--unit +3",        "--log-times yes", "--instant-timeout 1",
        "--more-units 1,", "--more-units 100", "--more-units ,2", "--more-units x",
    };
    for (const char* text : bad) {
        Options o;
        o.unit = 7;
        std::string error;
        EXPECT_FALSE(parseOptionText(text, o, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(o.unit, 7) << text;
        EXPECT_EQ(o.beams, (std::vector<int>{40, 32})) << text;
    }
}

}  // namespace
}  // namespace qavix::sim
