#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "TempDir.h"
#include "files/UserDataFolder.h"

namespace qavix {
namespace {

TEST(UserDataFolder, XdgDataHomeFirstThenHomeAndRelativeValuesIgnored) {
    EXPECT_EQ(userDataFolder("/data/u", "/home/u"), "/data/u/qavix");
    EXPECT_EQ(userDataFolder(nullptr, "/home/u"), "/home/u/.local/share/qavix");
    EXPECT_EQ(userDataFolder("", "/home/u"), "/home/u/.local/share/qavix");
    EXPECT_EQ(userDataFolder("relative/data", "/home/u"), "/home/u/.local/share/qavix");
    EXPECT_EQ(userDataFolder(nullptr, nullptr), "");
    EXPECT_EQ(userDataFolder(nullptr, "relative"), "");
}

TEST(UserDataFolder, EnteringCreatesTheFolderAndWorksThere) {
    test::TempDir dir;
    const std::string before = std::filesystem::current_path().string();
    const std::string folder = (dir.path() / "share" / "qavix").string();
    std::string error;
    ASSERT_TRUE(enterFolder(folder, error)) << error;
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(folder));
    // A second start finds it there.
    ASSERT_TRUE(enterFolder(folder, error)) << error;
    std::filesystem::current_path(before);

    // A file where the folder should be cannot become one.
    const std::string blocked = (dir.path() / "file").string();
    { std::ofstream(blocked) << "x"; }
    EXPECT_FALSE(enterFolder(blocked + "/qavix", error));
    EXPECT_NE(error.find(blocked), std::string::npos) << error;
    EXPECT_EQ(std::filesystem::current_path().string(), before);
    EXPECT_FALSE(enterFolder("", error));
}

}  // namespace
}  // namespace qavix
