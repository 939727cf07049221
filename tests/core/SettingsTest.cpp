#include <gtest/gtest.h>

#include "files/AppSettings.h"
#include "files/CommandLine.h"
#include "files/PortSettings.h"
#include "files/ProfileFile.h"

namespace qavix {
namespace {

TEST(ColorValue, ParsesAsTheSettingsFileHasAlwaysBeenRead) {
    struct Case {
        const char* text;
        ColorValue expected;
    };
    const ColorValue fallback = makeColor(30, 200, 30);
    const Case cases[] = {
        {"1,2,3", makeColor(1, 2, 3)},
        {" 10, 20 ,30", makeColor(10, 20, 30)},
        {"10 20 30", fallback},  // blanks instead of commas
        {",1,2", fallback},      // comma first
        {"1,,2", fallback},      // second comma first in the rest
        {"1,2", fallback},       // only one comma
        {"", fallback},
        {"a,b,c", makeColor(0, 0, 0)},  // commas in place: parts without digits are 0
        {"1,2,", makeColor(1, 2, 0)},
        {"1,2,3,4", makeColor(1, 2, 3)},
        {"300,-5,255", makeColor(255, 0, 255)},  // clamped, not wrapped to 44
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseColor(c.text, "30,200,30"), c.expected) << '"' << c.text << '"';
    }
}

TEST(ColorValue, HoldsRedInTheLowByte) {
    const ColorValue c = makeColor(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412u);
    EXPECT_EQ(redOf(c), 0x12);
    EXPECT_EQ(greenOf(c), 0x34);
    EXPECT_EQ(blueOf(c), 0x56);
    EXPECT_EQ(formatColor(c), "18,52,86");
}

// The defaults a save does not show (it writes the others; see below).
TEST(AppSettings, EmptyFileGivesTheDefaults) {
    const AppSettings s = AppSettings::load(ProfileFile());
    EXPECT_EQ(s.splashTime, 4000);
    EXPECT_EQ(s.eMail, 1);
    EXPECT_EQ(s.show, 5);
    EXPECT_EQ(s.colors[kColorChangeCtl], makeColor(255, 255, 150));
    EXPECT_EQ(s.colors[kColorSpare], makeColor(255, 128, 192));
    EXPECT_EQ(s.webAddr.rfind("https://", 0), 0u);
    EXPECT_EQ(s.homeAddr.rfind("https://", 0), 0u);
}

TEST(AppSettings, MalformedColourFallsBackToItsOwnKeysDefault) {
    const ProfileFile profile = ProfileFile::fromText(
        "[Color]\nColorOn=1 2 "
        "3\nColorOff=7,8,9\n[Qavix_Section]\nInterval=90\n[Option]\nSplash=0\n");
    const AppSettings s = AppSettings::load(profile);
    EXPECT_EQ(s.colors[kColorOn], makeColor(20, 20, 255));
    EXPECT_EQ(s.colors[kColorOff], makeColor(7, 8, 9));
    EXPECT_EQ(s.interval, 90);
    EXPECT_EQ(s.splash, 0);
}

TEST(AppSettings, SaveWritesOnlyTheChangeableKeysInOrder) {
    ProfileFile profile = ProfileFile::fromText("[Qavix_Section]\nSplashTime=100\n");
    AppSettings s = AppSettings::load(profile);
    s.splashTime = 1;  // read-only keys are never written, whatever the object holds
    s.eMail = 0;
    s.webAddr = "https://changed.example/";
    s.colors[kColorSpare] = makeColor(1, 1, 1);
    s.colors[kColorOn] = makeColor(1, 2, 3);
    s.save(profile);
    EXPECT_EQ(profile.text(),
              "[Qavix_Section]\r\nSplashTime=100\r\nInterval=200\r\nBlanking=0\r\n"
              "[Option]\r\nSplash=1\r\nBrowser=1\r\nButton=0\r\n"
              "[Color]\r\nColorNyukou=30,200,30\r\nColorFuantei=240,240,0\r\n"
              "ColorSyakou=255,50,50\r\nColorBlankBar=128,128,128\r\n"
              "ColorBlankBack=192,192,192\r\nColorOn=1,2,3\r\nColorOff=255,0,0\r\n"
              "ColorScanOn=0,255,0\r\nColorScanOff=128,128,128\r\n"
              "[Journal]\r\nAskReason=0\r\n");
    EXPECT_EQ(AppSettings::load(profile).colors[kColorOn], makeColor(1, 2, 3));
}

TEST(AppSettings, LanguageIsWrittenOnceChosenOrAlreadyThere) {
    ProfileFile profile;
    AppSettings s = AppSettings::load(profile);
    EXPECT_EQ(s.language, "auto");
    s.language = "en";
    s.save(profile);
    EXPECT_EQ(profile.value("Environment", "Language"), "en");
    EXPECT_EQ(AppSettings::load(profile).language, "en");
    // Back to auto: the key stays, saying so, rather than leaving "en" behind.
    s.language = "auto";
    s.save(profile);
    EXPECT_EQ(profile.value("Environment", "Language"), "auto");
}

TEST(PortSettings, DefaultsGiveNineSixHundredSevenEvenTwo) {
    const PortSettings s = PortSettings::load(ProfileFile());
    EXPECT_EQ(s.activePort, 0);
    EXPECT_EQ(s.activeMachine, 0);
    for (const PortSetting& p : s.ports) {
        EXPECT_EQ(p.block(0), (PortBlock{9600, 7, 2, 2, 0, 0}));
    }
    EXPECT_EQ(s.ports[2].block(4)[5], 4);
}

TEST(PortSettings, UnusableValuesAreReplacedAndStoredBack) {
    ProfileFile profile = ProfileFile::fromText(
        "[Qavix_Section]\nActivePort=2\nActiveMachine=-3\n"
        "[COM3_SETTING]\nBaudrate=9\nBytesize=0\nParity=5\nStopbit=0\n"
        "[COM4_SETTING]\nBaudrate=5\nBytesize=7\nParity=0\nStopbit=3\n"
        "[COM5_SETTING]\nBaudrate=-1\n");
    const PortSettings s = PortSettings::load(profile);
    EXPECT_EQ(s.activePort, 2);
    EXPECT_EQ(s.activeMachine, 0);
    EXPECT_EQ(s.active().block(1), (PortBlock{9600, 8, 0, 0, 0, 1}));
    EXPECT_EQ(s.active().parity, 0);
    EXPECT_EQ(s.active().baudText(), "9600");
    EXPECT_EQ(s.ports[3].block(0), (PortBlock{115200, 8, 0, 0, 0, 0}));
    EXPECT_EQ(s.ports[3].stopbit, 3);  // kept as read; only the block maps it
    EXPECT_EQ(s.ports[4].baudIndex, 0);

    s.save(profile);
    EXPECT_EQ(profile.getInt("COM3_SETTING", "Parity", -1), 0);
    EXPECT_EQ(profile.getInt("COM3_SETTING", "Baudrate", -1), 0);
    EXPECT_EQ(profile.getInt("COM4_SETTING", "Bytesize", -1), 0);
    EXPECT_EQ(profile.getInt("Qavix_Section", "ActiveMachine", -1), 0);
}

TEST(PortSettings, PortIndexOutsideTheSixPortsIsCom1) {
    for (const char* text :
         {"[Qavix_Section]\nActivePort=6\n", "[Qavix_Section]\nActivePort=-1\n"}) {
        EXPECT_EQ(PortSettings::load(ProfileFile::fromText(text)).activePort, 0) << text;
    }
    EXPECT_EQ(portSectionName(5), "COM6_SETTING");
}

TEST(CommandLine, SwitchesAreFoundInTheJoinedArguments) {
    struct Case {
        std::vector<std::string> args;
        bool extended;
        bool debug;
    };
    const Case cases[] = {
        {{}, false, false},
        {{"/ad"}, true, false},
        {{"x/dby"}, false, true},
        {{"/d", "b"}, false, true},
        {{"/a", "d", "/db"}, true, true},
        {{"/AD", "/DB"}, false, false},  // case-sensitive
        {{"/ d"}, false, false},
    };
    for (const Case& c : cases) {
        const CommandLineSwitches s = parseCommandLineSwitches(c.args);
        EXPECT_EQ(s.extended, c.extended) << ::testing::PrintToString(c.args);
        EXPECT_EQ(s.debug, c.debug) << ::testing::PrintToString(c.args);
    }
}

TEST(CommandLine, TheEditFileIsTakenOutBeforeTheSwitchesAreSearched) {
    const CommandLineSwitches spaced =
        parseCommandLineSwitches({"/a", "--edit", "/x/dbank.qbk", "d"});
    EXPECT_EQ(spaced.editFile, "/x/dbank.qbk");
    EXPECT_FALSE(spaced.debug);
    EXPECT_TRUE(spaced.extended);  // "/a" and "d" meet once the file is out of the way

    const CommandLineSwitches joined = parseCommandLineSwitches({"--edit=/x/adb.qbk", "/db"});
    EXPECT_EQ(joined.editFile, "/x/adb.qbk");
    EXPECT_TRUE(joined.debug);
    EXPECT_FALSE(joined.extended);

    EXPECT_TRUE(parseCommandLineSwitches({"/ad", "--edit"}).editWithoutFile);
    EXPECT_TRUE(parseCommandLineSwitches({"--edit="}).editWithoutFile);
    EXPECT_FALSE(parseCommandLineSwitches({"/ad"}).editWithoutFile);
}

TEST(CommandLine, ThePlantWindowWithOrWithoutItsBroker) {
    const CommandLineSwitches url = parseCommandLineSwitches({"--plant", "mqtt://b:1883", "/db"});
    EXPECT_TRUE(url.plant);
    EXPECT_EQ(url.plantUrl, "mqtt://b:1883");
    EXPECT_TRUE(url.debug);
    // A switch after --plant is no URL, and stays a switch.
    const CommandLineSwitches bare = parseCommandLineSwitches({"--plant", "/ad"});
    EXPECT_TRUE(bare.plant);
    EXPECT_TRUE(bare.plantUrl.empty());
    EXPECT_TRUE(bare.extended);
    EXPECT_EQ(parseCommandLineSwitches({"--plant=mqtts://b"}).plantUrl, "mqtts://b");
    EXPECT_FALSE(parseCommandLineSwitches({"/ad"}).plant);
}

}  // namespace
}  // namespace qavix
