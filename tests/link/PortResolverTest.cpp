#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "IniLookup.h"
#include "PortResolver.h"
#include "PortSettings.h"
#include "TempDir.h"

namespace qavix::link {
namespace {

namespace fs = std::filesystem;

class TempIni {
  public:
    explicit TempIni(const std::string& text) { std::ofstream(path(), std::ios::binary) << text; }
    std::string path() const { return m_dir.file("Qavix.ini"); }

  private:
    qavix::test::TempDir m_dir;
};

TEST(PortResolver, ComNumbers) {
    EXPECT_EQ(comPortNumber("COM1"), 1);
    EXPECT_EQ(comPortNumber("com12"), 12);
    EXPECT_FALSE(comPortNumber("COM0"));
    EXPECT_FALSE(comPortNumber("COM"));
    EXPECT_FALSE(comPortNumber("COMX"));
    EXPECT_FALSE(comPortNumber("LPT1"));
    EXPECT_FALSE(comPortNumber("COM1 "));
}

TEST(PortResolver, ValuesForEmulatorAndDevice) {
    auto sim = parsePortValue("sim");
    ASSERT_TRUE(sim);
    EXPECT_TRUE(sim->emulator);
    EXPECT_EQ(sim->emulatorOptions, "");
    auto withOptions = parsePortValue("sim:--sensors 40 --unit 2");
    ASSERT_TRUE(withOptions);
    EXPECT_TRUE(withOptions->emulator);
    EXPECT_EQ(withOptions->emulatorOptions, "--sensors 40 --unit 2");
    auto device = parsePortValue("/dev/ttyUSB0");
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->emulator);
    EXPECT_EQ(device->device, "/dev/ttyUSB0");
    EXPECT_FALSE(parsePortValue(""));
}

TEST(PortResolver, EmulatorValueOpensTheEmulatorDirectly) {
    const auto plain = resolvePort("sim");
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->emulator);
    const auto options = resolvePort("sim:--unit 3");
    ASSERT_TRUE(options);
    EXPECT_EQ(options->emulatorOptions, "--unit 3");
    EXPECT_FALSE(resolvePort("simulator"));
}

TEST(PortResolver, EnvironmentComesBeforeTheIniFile) {
    TempIni ini("[Qavix_Section]\r\nCOM5=/dev/wrong\r\n[ports]\r\n com5 = sim:--unit 3 \r\n");
    ::unsetenv("QAVLINK_COM5");
    auto fromIni = resolvePort("COM5", ini.path());
    ASSERT_TRUE(fromIni);
    EXPECT_TRUE(fromIni->emulator);
    EXPECT_EQ(fromIni->emulatorOptions, "--unit 3");

    ::setenv("QAVLINK_COM5", "/dev/pts/77", 1);
    auto fromEnv = resolvePort("COM5", ini.path());
    ::unsetenv("QAVLINK_COM5");
    ASSERT_TRUE(fromEnv);
    EXPECT_EQ(fromEnv->device, "/dev/pts/77");
}

TEST(PortResolver, IniReadIgnoresCaseAndOtherSections) {
    TempIni ini("; comment\n[Other]\nKey=1\n[SECTION]\nkey = two words \nKey=3\n");
    EXPECT_EQ(readIniValue(ini.path(), "section", "KEY"), "two words");
    EXPECT_FALSE(readIniValue(ini.path(), "section", "missing"));
    EXPECT_FALSE(readIniValue(ini.path() + ".none", "section", "key"));
}

TEST(PortSettingsBlock, AcceptsWhatALineCanDoAndNothingElse) {
    const int defaults[] = {9600, 7, 2, 2, 0, 1};
    auto settings = portSettingsFromBlock(defaults);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->bitsPerCharacter(), 11);
    EXPECT_EQ(settings->unit, 1);
    const int plain[] = {115200, 8, 0, 0, 0, 0};
    ASSERT_TRUE(portSettingsFromBlock(plain));
    EXPECT_EQ(portSettingsFromBlock(plain)->bitsPerCharacter(), 10);

    const int bad[][6] = {{0, 8, 0, 0, 0, 0},    {9600, 6, 0, 0, 0, 0},  {9600, 8, 3, 0, 0, 0},
                          {9600, 8, 0, 1, 0, 0}, {9600, 8, 0, 0, 0, -1}, {9600, 8, 0, 0, 0, 100}};
    for (const auto& block : bad) {
        EXPECT_FALSE(portSettingsFromBlock(block)) << block[0] << ' ' << block[1];
    }
    EXPECT_FALSE(portSettingsFromBlock(nullptr));
}

}  // namespace
}  // namespace qavix::link
