#include "files/ProfileFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "IniLookup.h"
#include "TempDir.h"
#include "files/TextFile.h"

namespace qavix {
namespace {

using test::TempDir;

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

std::string dataFile(const char* name) {
    return std::string(QAVIX_TEST_DATA) + "/" + name;
}

TEST(ProfileFile, HandWrittenShiftJisFileReadsWithWindowsSemantics) {
    ProfileFile profile;
    ASSERT_TRUE(profile.load(dataFile("profile_sjis_crlf.ini")));

    EXPECT_EQ(profile.getInt("QAVIX_SECTION", "interval", 0), 350);
    EXPECT_EQ(profile.getString("Qavix_Section", "TITLE", "-"), "受光レベル");
    EXPECT_EQ(profile.getString("Color", "coloron", ""), "1,2,3");
    // A line without "=" is no value, but it is an entry of the section.
    EXPECT_EQ(profile.getString("Qavix_Section", "NoEquals", "fallback"), "fallback");
    EXPECT_EQ(profile.section("qavix_section"),
              (std::vector<std::string>{"Interval=350", "Title=受光レベル", "NoEquals"}));
    EXPECT_EQ(profile.section("COLOR"), (std::vector<std::string>{"ColorOn=1,2,3"}));
    EXPECT_TRUE(profile.section("Missing").empty());
    EXPECT_EQ(profile.sectionNames(),
              (std::vector<std::string>{"Qavix_Section", "color", "Other"}));
}

TEST(ProfileFile, SavingKeepsOrderCommentsAndUnknownLines) {
    TempDir dir;
    const std::string path = dir.file("Qavix.ini");
    ProfileFile profile;
    ASSERT_TRUE(profile.load(dataFile("profile_sjis_crlf.ini")));
    ASSERT_TRUE(profile.setInt("qavix_section", "INTERVAL", 500));       // existing, other case
    ASSERT_TRUE(profile.setString("Qavix_Section", "Added", "新しい"));  // new key
    ASSERT_TRUE(profile.setString("Color", "ColorOff", "9,9,9"));        // new key, before blanks
    ASSERT_TRUE(profile.setString("COM1_SETTING", "Parity", "0"));       // new section
    ASSERT_TRUE(profile.save(path).ok);

    const std::string expected =
        "; 設定ファイル\r\n"
        "[Qavix_Section]\r\n"
        "Interval=500\r\n"
        "Title=受光レベル\r\n"
        "NoEquals\r\n"
        "Added=新しい\r\n"
        "\r\n"
        "[color]\r\n"
        "ColorOn=1,2,3\r\n"
        "  ; comment\r\n"
        "ColorOff=9,9,9\r\n"
        "\r\n"
        "[Other]\r\n"
        "A=1\r\n"
        "[COM1_SETTING]\r\n"
        "Parity=0\r\n";
    const fileio::ReadResult raw = fileio::readFile(path);
    ASSERT_TRUE(raw.ok());
    EXPECT_EQ(count(raw.bytes, "\n"), count(raw.bytes, "\r\n"));  // every line end CR LF
    EXPECT_NE(raw.bytes.find("Added=\x90\x56\x82\xb5\x82\xa2\r\n"), std::string::npos);
    EXPECT_EQ(textfile::readText(path).text, expected);
}

TEST(ProfileFile, MissingFileIsAnEmptyProfileAndLfOnlyFilesRead) {
    TempDir dir;
    ProfileFile profile;
    ASSERT_TRUE(profile.load(dir.file("absent.ini")));
    EXPECT_TRUE(profile.sectionNames().empty());
    EXPECT_EQ(profile.getInt("A", "B", 7), 7);

    ASSERT_TRUE(fileio::writeFileAtomic(dir.file("lf.ini"), "[S]\nk=v\n").ok);
    ASSERT_TRUE(profile.load(dir.file("lf.ini")));
    EXPECT_EQ(profile.getString("s", "K", ""), "v");

    std::string error;
    EXPECT_FALSE(profile.load(dir.path().string(), &error));  // a folder is no file
    EXPECT_FALSE(error.empty());
}

TEST(ProfileFile, ValuesAreTrimmedAndUnquotedAndIntegersReadLeadingDigits) {
    const ProfileFile profile = ProfileFile::fromText(
        "[S]\n"
        "  Spaced   =   a b   \n"
        "Quoted=\"x y\"\n"
        "Half=\"x\n"
        "Neg=-12abc\n"
        "Word=abc\n"
        "Empty=\n"
        "Huge=99999999999\n"
        "Dup=first\n"
        "dup=second\n"
        "[s]\n"
        "Other=in the second S\n");
    EXPECT_EQ(profile.getString("S", "spaced", ""), "a b");
    EXPECT_EQ(profile.getString("S", "Quoted", ""), "x y");
    EXPECT_EQ(profile.getString("S", "Half", ""), "\"x");
    EXPECT_EQ(profile.getInt("S", "Neg", 5), -12);
    EXPECT_EQ(profile.getInt("S", "Word", 5), 0);
    EXPECT_EQ(profile.getInt("S", "Empty", 5), 5);
    EXPECT_EQ(profile.getInt("S", "Huge", 5), 2147483647);
    EXPECT_EQ(profile.getString("S", "DUP", ""), "first");  // the first of two wins
    // Only the first section of a name is seen, as with the system's own profile calls.
    EXPECT_EQ(profile.getString("S", "Other", "none"), "none");
}

TEST(ProfileFile, WriteSectionReplacesOrAppends) {
    ProfileFile profile = ProfileFile::fromText("[A]\na=1\n; note\nb=2\n[B]\nc=3\n");
    ASSERT_TRUE(profile.writeSection("a", {"x=9", "", "plain line"}));
    ASSERT_TRUE(profile.writeSection("New", {"k=v"}));
    EXPECT_EQ(profile.text(), "[A]\r\nx=9\r\nplain line\r\n[B]\r\nc=3\r\n[New]\r\nk=v\r\n");
    EXPECT_EQ(profile.section("A"), (std::vector<std::string>{"x=9", "plain line"}));
}

TEST(ProfileFile, RefusesWhatWouldNotReadBack) {
    ProfileFile profile;
    EXPECT_FALSE(profile.setString("S", "k", "two\nlines"));
    EXPECT_FALSE(profile.setString("S", "a=b", "v"));
    EXPECT_FALSE(profile.setString("S", "", "v"));
    EXPECT_FALSE(profile.setString("S]", "k", "v"));
    EXPECT_FALSE(profile.setString("S", "k", "\xF0\x9F\x98\x80"));  // no Shift-JIS form
    EXPECT_FALSE(profile.writeSection("S", {"[Injected]"}));
    EXPECT_FALSE(profile.writeSection("S", {"a=1\r\nb=2"}));
    // A NUL or an escape would make the saved file one that is no settings text.
    EXPECT_FALSE(profile.setString("Ports", "COM1", std::string("sim\0x", 5)));
    EXPECT_FALSE(profile.setString("Ports", "COM1", "/dev/\x1b[2Jtty"));
    EXPECT_FALSE(profile.setString("Ports", "COM1", "/dev/\xC2\x9Btty"));  // C1 CSI
    EXPECT_TRUE(profile.sectionNames().empty());
    EXPECT_TRUE(profile.setString("S", "k", "a\tb"));  // a tab is a blank
}

// Qavix.ini is read by the program's profile reader and by the link library's port lookup;
// on every input both must give the same port, or the program shows one port and the
// library opens another.
TEST(SettingsFile, TheProgramAndTheLinkLibraryReadQavixIniAlike) {
    TempDir dir;
    const std::string path = dir.file("Qavix.ini");
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary.push_back(static_cast<char>((i * 7919 + 13) % 256));
    }
    binary.insert(2000, "\r\n[Ports]\r\nCOM1=/dev/binary\r\n");
    struct Case {
        const char* name;
        std::string bytes;
        const char* com1;  // what both must find; nullptr: nothing
        bool usable;       // the file is taken as a settings file
    };
    const Case cases[] = {
        {"plain", "[Ports]\r\nCOM1=/dev/ttyUSB0\r\nCOM2=sim\r\n", "/dev/ttyUSB0", true},
        {"names in any case, blanks around", "[ ports ]\n\t com1 \t= sim:--sensors 8 \n",
         "sim:--sensors 8", true},
        {"quoted", "[Ports]\nCOM1=\"/dev/serial/by-id/a b\"\n", "/dev/serial/by-id/a b", true},
        {"key without a value first", "[Ports]\nCOM1\nCOM1=/dev/late\n", nullptr, true},
        {"first key wins", "[Ports]\nCOM1=/dev/a\nCOM1=/dev/b\n", "/dev/a", true},
        {"only the first section counts", "[Ports]\nCOM2=x\n[Other]\n[Ports]\nCOM1=/dev/b\n",
         nullptr, true},
        {"comment", "[Ports]\n;COM1=/dev/no\n", nullptr, true},
        {"lone CR line ends", "[Ports]\rCOM1=/dev/cr\rCOM2=y\r", "/dev/cr", true},
        {"header with a comment", "[Ports] ; serial\nCOM1=/dev/h\n", "/dev/h", true},
        {"Shift-JIS value", "[Ports]\r\nCOM1=/dev/\x83\x56\x83\x8A\x83\x41\x83\x8B\r\n",
         "/dev/シリアル", true},
        {"NUL inside a value", std::string("[Ports]\r\nCOM1=sim\0x\r\n", 20), nullptr, false},
        {"escape inside a value", "[Ports]\r\nCOM1=/dev/\x1b[2Jtty\r\n", nullptr, false},
        {"cut off in a character", "[Ports]\r\nCOM1=/dev/a\r\nTITLE=\x83", nullptr, false},
        {"binary", binary, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fileio::writeFileAtomic(path, c.bytes).ok);
        std::string problem;
        const ProfileFile profile = ProfileFile::loadSettings(path, problem);
        EXPECT_EQ(problem.empty(), c.usable) << problem;
        for (const char* key : {"COM1", "COM2", "com3"}) {
            EXPECT_EQ(profile.value("Ports", key), link::readIniValue(path, "Ports", key)) << key;
        }
        EXPECT_EQ(profile.value("Ports", "COM1"),
                  c.com1 == nullptr ? std::nullopt : std::optional<std::string>(c.com1));
    }

    // Larger than any settings file: refused by both, as a folder and a missing file are.
    std::string huge = "[Ports]\r\nCOM1=/dev/huge\r\n";
    huge.resize(fileio::kMaxReadSize + 1, ';');
    ASSERT_TRUE(fileio::writeFileAtomic(path, huge).ok);
    std::string problem;
    EXPECT_FALSE(ProfileFile::loadSettings(path, problem).hasSection("Ports"));
    EXPECT_NE(problem, "");
    EXPECT_EQ(link::readIniValue(path, "Ports", "COM1"), std::nullopt);
    ASSERT_TRUE(std::filesystem::remove(path));
    ASSERT_TRUE(std::filesystem::create_directory(path));
    EXPECT_FALSE(ProfileFile::loadSettings(path, problem).hasSection("Ports"));
    EXPECT_NE(problem, "");
    EXPECT_EQ(link::readIniValue(path, "Ports", "COM1"), std::nullopt);
    const std::string missing = dir.file("none.ini");
    EXPECT_TRUE(ProfileFile::loadSettings(missing, problem).sectionNames().empty());
    EXPECT_EQ(problem, "");
    EXPECT_EQ(link::readIniValue(missing, "Ports", "COM1"), std::nullopt);
}

TEST(ProfileFile, RemovesKeysAndSections) {
    ProfileFile profile = ProfileFile::fromText("[A]\na=1\nb=2\n[B]\nc=3\n");
    EXPECT_TRUE(profile.removeKey("a", "A"));
    EXPECT_FALSE(profile.removeKey("a", "zz"));
    EXPECT_TRUE(profile.removeSection("b"));
    EXPECT_FALSE(profile.removeSection("b"));
    EXPECT_EQ(profile.text(), "[A]\r\nb=2\r\n");
}

}  // namespace
}  // namespace qavix
