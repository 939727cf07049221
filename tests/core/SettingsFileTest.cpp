#include "files/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "files/FileIo.h"

namespace qavix {
namespace {

using test::TempDir;

// The settings the program changes in a run go back to the file it read them from.
TEST(SettingsFile, AMissingFileIsNoProblemAndIsCreatedOnSave) {
    TempDir dir;
    const std::string path = dir.file("Qavix.ini");
    SettingsFile settings;
    EXPECT_TRUE(settings.loadFrom(path));
    EXPECT_EQ(settings.path(), path);
    EXPECT_TRUE(settings.problem().empty());
    EXPECT_TRUE(settings.sectionNames().empty());

    ASSERT_TRUE(settings.setString("Ports", "COM1", "sim"));
    ASSERT_TRUE(settings.save());
    SettingsFile again;
    ASSERT_TRUE(again.loadFrom(path));
    EXPECT_EQ(again.getString("Ports", "COM1", ""), "sim");
}

TEST(SettingsFile, ATextWithoutAPathIsNeverSavedAnywhere) {
    SettingsFile settings = SettingsFile::fromText("[Ports]\r\nCOM1=sim\r\n");
    EXPECT_EQ(settings.getString("Ports", "COM1", ""), "sim");
    EXPECT_TRUE(settings.path().empty());
    EXPECT_FALSE(settings.save());
}

// A damaged file gives the defaults, and the message says why: the reason without its
// path (the message names Qavix.ini itself) and without bytes that would drive a terminal.
TEST(SettingsFile, AnUnusableFileGivesDefaultsAndSaysWhyOnce) {
    TempDir dir;
    const std::string path = dir.file("Qavix.ini");
    static constexpr char kDamaged[] = "[Ports]\r\nCOM1=sim\0\x1b[2J";
    ASSERT_TRUE(fileio::writeFileAtomic(path, std::string(kDamaged, sizeof kDamaged - 1)).ok);
    SettingsFile settings;
    EXPECT_FALSE(settings.loadFrom(path));
    EXPECT_FALSE(settings.problem().empty());
    EXPECT_TRUE(settings.sectionNames().empty());
    const std::string text = settings.problemText();
    EXPECT_EQ(text.find(path), std::string::npos) << text;
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
    EXPECT_EQ(text.rfind("Qavix.ini を読み込めないため", 0), 0u) << text;
}

}  // namespace
}  // namespace qavix
