// The backup repository through libgit2: versions written and read back, and the
// repositories a backup must refuse.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FileText.h"
#include "TempDir.h"
#include "history/GitRepository.h"
#include "history/HistoryLog.h"

namespace qavix::history {
namespace {

namespace fs = std::filesystem;

const Signature kAuthor{"qavix fleet backup", "test@host"};

TEST(GitRepository, VersionsAreCommittedReadBackAndCheckedOut) {
    test::TempDir dir;
    const std::string path = dir.file("repo");
    std::string error;
    auto repo = GitRepository::openOrCreate(path, error);
    ASSERT_TRUE(repo) << error;
    EXPECT_EQ(repo->head(error).value_or("?"), "");

    const auto first =
        repo->commit({{"a/current.qbk", "A1"}, {"b/current.qbk", "B1"}, {"manifest.json", "{}"}},
                     "first\n", kAuthor, error);
    ASSERT_TRUE(first) << error;
    const auto second = repo->commit(
        {{"a/current.qbk", "A2"}, {"a/bank1.qbk", "A bank"}, {"manifest.json", "{\"run\": 2}"}},
        "second\n", kAuthor, error);
    ASSERT_TRUE(second) << error;
    const auto third = repo->commit({{"a/bank1.qbk", std::nullopt}}, "third\n", kAuthor, error);
    ASSERT_TRUE(third) << error;

    // The working tree shows the last version.
    EXPECT_EQ(test::readBytes(path + "/a/current.qbk"), "A2");
    EXPECT_FALSE(fs::exists(fs::path(path) / "a/bank1.qbk"));

    const auto log = repo->log(error);
    ASSERT_TRUE(log) << error;
    ASSERT_EQ(log->size(), 3u);
    EXPECT_EQ((*log)[0].id, *third);
    EXPECT_EQ((*log)[1].parentId, *first);
    EXPECT_EQ((*log)[2].parentId, "");
    EXPECT_EQ((*log)[1].message, "second\n");

    EXPECT_EQ(repo->folderFiles(*second, "a", error),
              (std::map<std::string, std::string>{{"bank1.qbk", "A bank"}, {"current.qbk", "A2"}}));
    EXPECT_EQ(repo->folderFiles(*first, "c", error), (std::map<std::string, std::string>{}));
    EXPECT_EQ(repo->changedFolders(*second, *first, error), std::vector<std::string>{"a"});
    EXPECT_EQ(repo->changedFolders(*first, "", error), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(repo->resolve("HEAD~2", error).value_or(""), *first);
    EXPECT_FALSE(repo->resolve("no-such-tag", error));

    // Opened again, as a later run does.
    repo.reset();
    repo = GitRepository::open(path, error);
    ASSERT_TRUE(repo) << error;
    EXPECT_EQ(repo->head(error).value_or(""), *third);
}

TEST(GitRepository, AFolderThatIsNoRepositoryIsRefusedAlsoInsideOne) {
    test::TempDir dir;
    std::string error;
    auto outer = GitRepository::openOrCreate(dir.file("outer"), error);
    ASSERT_TRUE(outer) << error;
    fs::create_directories(dir.file("outer/inside"));
    std::ofstream(dir.file("outer/inside/notes.txt")) << "x";
    std::ofstream(dir.file("plain.txt")) << "x";

    EXPECT_FALSE(GitRepository::openOrCreate(dir.file("outer/inside"), error));
    EXPECT_NE(error.find("git リポジトリではありません"), std::string::npos) << error;
    EXPECT_FALSE(GitRepository::openOrCreate(dir.file("plain.txt"), error));
    EXPECT_NE(error.find("フォルダではありません"), std::string::npos) << error;
    EXPECT_FALSE(GitRepository::open(dir.file("missing"), error));
    // An empty folder (a service's state folder) becomes a repository.
    fs::create_directories(dir.file("empty"));
    EXPECT_TRUE(GitRepository::openOrCreate(dir.file("empty"), error)) << error;
}

TEST(GitRepository, ALockOfAnotherGitProcessStopsTheCommitBeforeAnythingMoves) {
    test::TempDir dir;
    std::string error;
    auto repo = GitRepository::openOrCreate(dir.file("repo"), error);
    ASSERT_TRUE(repo) << error;
    const auto first = repo->commit({{"a/x", "1"}}, "first\n", kAuthor, error);
    ASSERT_TRUE(first) << error;
    std::ofstream(dir.file("repo/.git/index.lock")) << "";

    EXPECT_NE(repo->lockProblem().find("index.lock"), std::string::npos);
    EXPECT_FALSE(repo->commit({{"a/x", "2"}}, "second\n", kAuthor, error));
    EXPECT_NE(error.find("別の git プロセスがロックしています"), std::string::npos) << error;
    EXPECT_EQ(repo->head(error).value_or(""), *first);
    EXPECT_EQ(test::readBytes(dir.file("repo/a/x")), "1");
}

TEST(GitRepository, ADamagedRepositoryIsReportedNotTakenForEmpty) {
    test::TempDir dir;
    std::string error;
    auto repo = GitRepository::openOrCreate(dir.file("repo"), error);
    ASSERT_TRUE(repo) << error;
    ASSERT_TRUE(repo->commit({{"a/x", "1"}}, "first\n", kAuthor, error)) << error;
    repo.reset();
    fs::remove_all(dir.file("repo/.git/objects"));
    fs::create_directories(dir.file("repo/.git/objects"));

    EXPECT_FALSE(GitRepository::openOrCreate(dir.file("repo"), error));
    EXPECT_NE(error.find("壊れています"), std::string::npos) << error;
}

TEST(HistoryLog, EveryVersionThatChangedAControllerWithItsFields) {
    test::TempDir dir;
    std::string error;
    auto repo = GitRepository::openOrCreate(dir.file("repo"), error);
    ASSERT_TRUE(repo) << error;
    const std::string identity = "{\"serial\": \"1\"}\n";
    ASSERT_TRUE(repo->commit({{"a/identity.json", identity}, {"b/identity.json", identity}}, "1\n",
                             kAuthor, error));
    ASSERT_TRUE(
        repo->commit({{"b/identity.json", "{\"serial\": \"2\"}\n"}}, "2\n", kAuthor, error));
    ASSERT_TRUE(repo->commit({{"manifest.json", "{}"}}, "3\n", kAuthor, error));

    const auto all = readHistory(*repo, "", 0, error);
    ASSERT_TRUE(all) << error;
    ASSERT_EQ(all->size(), 2u);  // the manifest alone changes no controller
    ASSERT_EQ((*all)[0].controllers.size(), 1u);
    EXPECT_EQ((*all)[0].controllers[0].name, "b");
    EXPECT_EQ(describeChange((*all)[0].controllers[0].changes.at(0)), "identity serial: 1 -> 2");
    EXPECT_EQ((*all)[1].controllers.size(), 2u);

    const auto onlyA = readHistory(*repo, "a", 0, error);
    ASSERT_TRUE(onlyA);
    EXPECT_EQ(onlyA->size(), 1u);
    const auto future = readHistory(*repo, "", (*all)[0].commit.time + 3600, error);
    ASSERT_TRUE(future);
    EXPECT_TRUE(future->empty());
}

}  // namespace
}  // namespace qavix::history
