#include "files/RecoveryFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "BankSample.h"
#include "TempDir.h"
#include "comm/LostConnection.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#include "files/FileIo.h"

namespace qavix {
namespace {

using test::TempDir;

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Banks 2 and 4 hold unwritten edits; bank 4 is selected, so its edits are in the working set.
DeviceModel editedModel() {
    DeviceModel model;
    for (int b = 1; b <= kBankCount; ++b) {
        static_cast<SettingsData&>(model.storedSet(b)) = test::sampleBankSet();
    }
    model.markEdited(2);
    model.selectSet(4);
    model.working().channel(0).onTh = 44;
    model.markEdited(4);
    return model;
}

int savedOnTh(const std::string& path) {
    const bankfile::BlockRead read = bankfile::readBlocks(path);
    EXPECT_TRUE(read.ok()) << path << ": " << read.message;
    SettingsData saved;
    EXPECT_EQ(bankfile::decodeBlocks(read.texts, saved), codec::DecodeResult::Ok);
    return saved.channel(0).onTh;
}

TEST(RecoveryFiles, TheUserDataFolderComesAfterTheWorkingFolder) {
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/data/u");
        ScopedEnv home("HOME", "/home/u");
        EXPECT_EQ(recoveryFolders("/work"), (std::vector<std::string>{"/work", "/data/u/qavix"}));
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        EXPECT_EQ(recoveryFolders(""), std::vector<std::string>{"."});
    }
}

TEST(RecoveryFiles, EachBankGoesToTheFirstFolderThatTakesItOrIsReportedUnsaved) {
    TempDir dir;
    const std::tm when = test::sampleTime();
    const DeviceModel model = editedModel();
    std::filesystem::create_directory(dir.file("work"));
    const RecoverySave save = saveRecoveryFiles(model, {dir.file("work"), dir.file("user")}, when);
    EXPECT_TRUE(save.unsaved.empty());
    ASSERT_EQ(save.written.size(), 2u);
    EXPECT_EQ(save.written[0], dir.file("work") + "/" + recoveryFileName(2, when));
    EXPECT_EQ(savedOnTh(save.written[0]), test::sampleBankSet().channel(0).onTh);
    EXPECT_EQ(savedOnTh(save.written[1]), 44);  // the working set's edit, not the stored one
    EXPECT_FALSE(std::filesystem::exists(dir.file("user")));
}

TEST(RecoveryFiles, AnUnwritableWorkingFolderFallsBackAndFailureIsNamed) {
    TempDir dir;
    const std::tm when = test::sampleTime();
    const DeviceModel model = editedModel();
    // A regular file where the folder should be refuses every write, even for root.
    const std::string blocked = dir.file("blocked");
    ASSERT_TRUE(fileio::writeFileAtomic(blocked, "x").ok);

    const std::string user = dir.file("data/qavix");  // created on demand
    RecoverySave save = saveRecoveryFiles(model, {blocked, user}, when);
    ASSERT_EQ(save.written.size(), 2u);
    EXPECT_EQ(save.written[1], user + "/" + recoveryFileName(4, when));
    EXPECT_EQ(savedOnTh(save.written[1]), 44);
    EXPECT_TRUE(save.unsaved.empty());

    save = saveRecoveryFiles(model, {blocked, blocked + "/qavix"}, when);
    EXPECT_TRUE(save.written.empty());
    EXPECT_EQ(save.unsaved, (std::vector<int>{2, 4}));
    ASSERT_EQ(save.errors.size(), 2u);
    EXPECT_NE(save.errors[0].find(recoveryFileName(2, when)), std::string::npos) << save.errors[0];
}

TEST(LostConnectionMessage, NamesWhatMayHaveLandedWhatWasSavedAndWhatWasLost) {
    LostConnection lost;
    lost.cause = "cut\n";
    EXPECT_EQ(lostConnectionMessage(lost), "cut\n");

    lost.writeMayHaveLanded = true;
    lost.recovery.written = {"/w/a.qbk", "/w/b.qbk"};
    lost.recovery.unsaved = {1, 3};
    lost.recovery.errors = {"e1", "e3"};
    EXPECT_EQ(lostConnectionMessage(lost), std::string("cut\n\n") + kWriteMayHaveLandedNote + "\n" +
                                               kRecoverySavedHeading + "/w/a.qbk\n/w/b.qbk\n\n" +
                                               kRecoveryUnsavedHeading + "Bank1、Bank3\ne1\ne3\n");
}

}  // namespace
}  // namespace qavix
