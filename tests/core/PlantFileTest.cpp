// The plant file: what it may hold, and every mistake refused with its line before anything
// connects.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "ScopedLanguage.h"
#include "TempDir.h"
#include "fleet/PlantFile.h"

namespace qavix::fleet {
namespace {

TEST(PlantFile, ControllersWithEveryKey) {
    const Plant plant = parsePlant(
        "\xEF\xBB\xBF; the north hall\r\n"
        "[Press 1]   ; the first press\r\n"
        "port = COM2 ; by the door\r\n"
        "Unit=7\r\n"
        "golden = golden/press#1.qbk # commissioned\r\n"
        "banks = 1, 3\r\n"
        "\n"
        "# a comment\n"
        "[ライン2]\n"
        "port = \"/dev/serial/by-id/usb-FTDI_0042-if00\"\n"
        "unit = 0\n"
        "golden = /srv/golden/line2.qbk\n"
        "banks = none\n"
        "baud = 38400\n"
        "databits = 8\n"
        "parity = none\n"
        "stopbits = 1\n"
        "[bench]\n"
        "port = sim:--sensors 40 --unit 3\n"
        "unit = 3\n",
        "/plants/north");
    ASSERT_TRUE(plant.ok()) << describeProblems(plant, "plant.ini");
    ASSERT_EQ(plant.controllers.size(), 3u);

    const PlantController& press = plant.controllers[0];
    EXPECT_EQ(press.name, "Press 1");
    EXPECT_EQ(press.port, "COM2");
    EXPECT_EQ(press.unit, 7);
    EXPECT_EQ(press.golden, "/plants/north/golden/press#1.qbk");
    EXPECT_EQ(press.banks, (std::array<bool, 4>{true, false, true, false}));
    EXPECT_EQ(press.line, 2);
    EXPECT_FALSE(press.baud);

    const PlantController& line2 = plant.controllers[1];
    EXPECT_EQ(line2.name, "ライン2");
    EXPECT_EQ(line2.port, "/dev/serial/by-id/usb-FTDI_0042-if00");
    EXPECT_EQ(line2.golden, "/srv/golden/line2.qbk");
    EXPECT_EQ(line2.banks, (std::array<bool, 4>{}));
    EXPECT_EQ(line2.baud, 38400);
    EXPECT_EQ(line2.dataBits, 8);
    EXPECT_EQ(line2.evenParity, false);
    EXPECT_EQ(line2.stopBits, 1);

    const PlantController& bench = plant.controllers[2];
    EXPECT_EQ(bench.port, "sim:--sensors 40 --unit 3");
    EXPECT_EQ(bench.golden, "");
    // Without a banks key a backup takes all four.
    EXPECT_EQ(bench.banks, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(plant.find("bench"), &bench);
    EXPECT_EQ(plant.find("Bench"), nullptr);
}

struct BadPlant {
    const char* what;
    const char* text;
    int line;
    const char* message;  // a piece of the expected message
};

TEST(PlantFile, TheJournalSectionNamesAFolderAndNoController) {
    const Plant plant = parsePlant("[journal]\nfolder = records\n[press]\nport = COM1\nunit = 0\n",
                                   "/plants/north");
    ASSERT_TRUE(plant.ok()) << describeProblems(plant, "plant.ini");
    EXPECT_EQ(plant.journalFolder, "/plants/north/records");
    ASSERT_EQ(plant.controllers.size(), 1u);
    EXPECT_EQ(parsePlant("[press]\nport = COM1\nunit = 0\n", "").journalFolder, "");

    const Plant bad = parsePlant(
        "[Journal]\nport = COM1\nFolder = a\nFolder = b\n[JOURNAL]\n[x]\nport = COM1\nunit = 0\n",
        "");
    ASSERT_EQ(bad.problems.size(), 3u) << describeProblems(bad, "plant.ini");
    EXPECT_EQ(bad.problems[0].line, 2);
    EXPECT_EQ(bad.problems[1].line, 4);
    EXPECT_EQ(bad.problems[2].line, 5);
}

TEST(PlantFile, EachMistakeIsReportedWithItsLine) {
    const qavix::test::ScopedLanguage english("en");
    const BadPlant cases[] = {
        {"duplicate name",
         "[a]\nport=COM1\nunit=1\n\n[b]\nport=COM1\nunit=2\n[a]\nport=COM2\nunit=1\n", 8,
         "section [a] given twice (first at line 1)"},
        {"names that differ in case only", "[Line]\nport=COM1\nunit=1\n[LINE]\nport=COM2\nunit=1\n",
         4, "given twice"},
        {"unknown key", "[a]\nport=COM1\nunit=1\nspeed=9600\n", 4, "unknown key 'speed'"},
        {"missing port", "[a]\nunit=1\n[b]\nport=COM1\nunit=2\n", 1, "[a] has no port"},
        {"missing unit", "[a]\nport=COM1\n", 1, "[a] has no unit"},
        {"slash in name", "[hall/press]\nport=COM1\nunit=1\n", 1, "hall/press"},
        {"dot-dot name", "[..]\nport=COM1\nunit=1\n", 1, "must not start with '.'"},
        {"name like an option", "[-x]\nport=COM1\nunit=1\n", 1, "must not start"},
        {"manifest name", "[Manifest.json]\nport=COM1\nunit=1\n", 1, "manifest"},
        {"empty name", "[ ]\nport=COM1\nunit=1\n", 1, "needs a name"},
        {"long name",
         "[aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa]\nport=COM1\nunit=1\n",
         1, "longer than 64"},
        {"key before any section", "port=COM1\n[a]\nport=COM1\nunit=1\n", 1, "outside"},
        {"key twice", "[a]\nport=COM1\nunit=1\nport=COM2\n", 4, "given twice (first at line 2)"},
        {"empty value", "[a]\nport=\nunit=1\n", 2, "has no value"},
        {"unit out of range", "[a]\nport=COM1\nunit=100\n", 3, "unit must be"},
        {"unit not a number", "[a]\nport=COM1\nunit=-1\n", 3, "unit must be"},
        {"bank 5", "[a]\nport=COM1\nunit=1\nbanks=1,5\n", 4, "banks must be"},
        {"bank twice", "[a]\nport=COM1\nunit=1\nbanks=2,2\n", 4, "banks must be"},
        {"bank list with a hole", "[a]\nport=COM1\nunit=1\nbanks=1,,2\n", 4, "banks must be"},
        {"odd baud", "[a]\nport=COM1\nunit=1\nbaud=4800\n", 4, "baud must be"},
        {"nine data bits", "[a]\nport=COM1\nunit=1\ndatabits=9\n", 4, "databits"},
        {"odd parity", "[a]\nport=COM1\nunit=1\nparity=odd\n", 4, "parity"},
        {"three stop bits", "[a]\nport=COM1\nunit=1\nstopbits=3\n", 4, "stopbits"},
        // Names a copy of the backup to Windows or macOS would take for one folder, or refuse.
        {"names that differ in non-ASCII case",
         "[Ärger]\nport=COM1\nunit=1\n[ärger]\nport=COM2\nunit=1\n", 4,
         "duplicate name 'ärger' (first at line 1 as 'Ärger')"},
        {"NFC and NFD forms",
         "[caf\xC3\xA9]\nport=COM1\nunit=1\n[cafe\xCC\x81]\nport=COM2\nunit=1\n", 4,
         "duplicate name"},
        {"full-width letters", "[Line]\nport=COM1\nunit=1\n[Ｌｉｎｅ]\nport=COM2\nunit=1\n", 4,
         "duplicate name"},
        {"device name", "[CON]\nport=COM1\nunit=1\n", 1, "device name"},
        {"device name with extension", "[nul.backup]\nport=COM1\nunit=1\n", 1, "device name"},
        {"numbered device name", "[Com7]\nport=COM1\nunit=1\n", 1, "device name"},
        {"trailing dot", "[line.]\nport=COM1\nunit=1\n", 1, "must not end with '.'"},
        {"control byte in a line, escaped", "[a\x1B[2Jb]\nport=COM1\nunit=1\n", 1,
         "the control character \\x1B"},
        {"C1 control in a name, escaped",
         "[a\xC2\x9B"
         "2Jb]\nport=COM1\nunit=1\n",
         1, "name 'a\\xC2\\x9B2Jb' holds a byte"},
        {"relative device", "[a]\nport=ttyUSB0\nunit=1\n", 2, "port 'ttyUSB0' is none of"},
        {"network port without port number", "[a]\nport=rfc2217:host\nunit=1\n", 2,
         "port 'rfc2217:host': "},
        {"network port out of range", "[a]\nport=tcp:plc:99999\nunit=1\n", 2,
         "port 'tcp:plc:99999': "},
        {"scheme the link library has not", "[a]\nport=ssh:plc:22\nunit=1\n", 2, "is none of"},
        {"COM0", "[a]\nport=COM0\nunit=1\n", 2, "is none of"},
        {"empty file", "; nothing\n", 0, "no controller"},
    };
    for (const BadPlant& c : cases) {
        const Plant plant = parsePlant(c.text, "");
        ASSERT_FALSE(plant.ok()) << c.what;
        bool found = false;
        for (const PlantProblem& p : plant.problems) {
            found = found || (p.line == c.line && p.message.find(c.message) != std::string::npos);
        }
        EXPECT_TRUE(found) << c.what << ":\n" << describeProblems(plant, "plant.ini");
    }
}

TEST(PlantFile, EveryProblemOfTheFileIsListedAndBadSectionsAreLeftOut) {
    const qavix::test::ScopedLanguage english("en");
    const Plant plant = parsePlant(
        "[a]\nport=COM1\nunit=1\nfoo=1\n"
        "[b/c]\nport=COM2\nunit=1\n"
        "[d]\nport=COM3\nunit=2\n",
        "");
    ASSERT_EQ(plant.problems.size(), 2u);
    EXPECT_EQ(describeProblems(plant, "p.ini"),
              "p.ini:4: unknown key 'foo' (known: port, unit, golden, banks, baud, databits, "
              "parity, stopbits)\n"
              "p.ini:5: name 'b/c' holds one of /\\:*?\"<>|, which a folder name cannot hold "
              "everywhere\n");
    ASSERT_EQ(plant.controllers.size(), 1u);
    EXPECT_EQ(plant.controllers[0].name, "d");
}

TEST(PlantFile, PortForms) {
    for (const char* good : {"COM1", "com12", "/dev/ttyUSB0", "sim", "sim:--unit 2",
                             "tcp:192.0.2.7:4001", "rfc2217:host.example:7000", "tcp:[::1]:4001"}) {
        EXPECT_EQ(portProblem(good), "") << good;
    }
    // Network targets by the link library's own rule: what passes here, it can open.
    for (const char* bad : {"ttyS0", "COM", "COM256", ":4001", "tcp:", "1tcp:host", "x y",
                            "tcp:plc-:4001", "tcp:::1:4001", "rfc2217:host:0", "tcp:h:4001x"}) {
        EXPECT_NE(portProblem(bad), "") << bad;
    }
}

TEST(PlantFile, ReadsAFileBesideItsGoldenFilesAndSaysWhenItCannot) {
    test::TempDir dir;
    const std::string utf8 = dir.file("utf8.ini");
    std::ofstream(utf8, std::ios::binary) << "[ライン]\nport=COM1\nunit=1\ngolden=g.qbk\n";
    const Plant fromUtf8 = readPlantFile(utf8);
    ASSERT_TRUE(fromUtf8.ok()) << describeProblems(fromUtf8, utf8);
    EXPECT_EQ(fromUtf8.controllers[0].name, "ライン");
    EXPECT_EQ(fromUtf8.controllers[0].golden, dir.file("g.qbk"));

    const Plant missing = readPlantFile(dir.file("none.ini"));
    ASSERT_EQ(missing.problems.size(), 1u);
    EXPECT_EQ(missing.problems[0].line, 0);
}

}  // namespace
}  // namespace qavix::fleet
