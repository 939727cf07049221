#include "files/ProfileFile.h"

#include <gtest/gtest.h>

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
    EXPECT_TRUE(profile.sectionNames().empty());
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
