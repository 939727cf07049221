// What qavixctl says when the port cannot be opened, seen as a normal user would: a device
// one may not open names the group to join; a device another program holds names it.

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "CtlProcess.h"
#include "HeldPty.h"
#include "TempDir.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

constexpr int kExitConnection = 3;

// A working folder the unprivileged user may enter and write, removed afterwards.
class OpenFolder {
  public:
    OpenFolder() { std::filesystem::permissions(m_dir.path(), std::filesystem::perms::all); }
    std::string path() const { return m_dir.str(); }

  private:
    TempDir m_dir;
};

struct Unprivileged {
    int uid = -1;
    int gid = -1;
};

// Root can open anything, so the test takes the part of a normal user through setpriv.
Unprivileged unprivilegedUser() {
    const passwd* pw = getpwnam("nobody");
    if (geteuid() != 0 || pw == nullptr || access("/usr/bin/setpriv", X_OK) != 0) {
        return {};
    }
    return {static_cast<int>(pw->pw_uid), static_cast<int>(pw->pw_gid)};
}

std::string groupOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    const group* g = getgrgid(st.st_gid);
    return g != nullptr ? g->gr_name : std::to_string(st.st_gid);
}

// A group is named only when joining it opens the device; a device no group opens (root's
// own, or one only its owner may use) is said to be closed, with the way to open it.
TEST(QavixctlPortErrors, PermissionNamesAGroupOnlyWhenJoiningItOpensTheDevice) {
    const Unprivileged user = unprivilegedUser();
    const group* dialout = getgrnam("dialout");
    if (user.uid < 0 || dialout == nullptr) {
        GTEST_SKIP() << "needs root, setpriv and the dialout group to act as another user";
    }
    struct Case {
        gid_t gid;
        mode_t mode;
        const char* advice;  // the group to join, or nothing
    };
    const Case cases[] = {
        {dialout->gr_gid, 0660, "dialout"},
        {dialout->gr_gid, 0600, nullptr},
        {0, 0660, nullptr},
        {0, 0600, nullptr},
    };
    OpenFolder dir;
    for (const Case& c : cases) {
        qavix::test::HeldPty pty(false, -1, -1, c.mode);
        ASSERT_TRUE(pty.ready());
        ASSERT_EQ(chown(pty.slave().c_str(), 0, c.gid), 0);
        ASSERT_EQ(chmod(pty.slave().c_str(), c.mode), 0);
        const std::string trace = groupOf(pty.slave()) + " " + std::to_string(c.mode);
        const CtlRun run =
            runCtlAs(user.uid, user.gid, {dir.path(), {{"QAVLINK_COM1", pty.slave()}}},
                     {"info", "--port", "COM1"});
        EXPECT_EQ(run.exitCode, kExitConnection) << trace << run.err;
        EXPECT_NE(run.err.find(pty.slave()), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("権限がありません"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("断絶"), std::string::npos) << "not a lost connection: " << run.err;
        if (c.advice != nullptr) {
            EXPECT_NE(run.err.find(std::string("グループ ") + c.advice + " に参加"),
                      std::string::npos)
                << trace << run.err;
        } else {
            EXPECT_EQ(run.err.find("に参加してください（sudo usermod"), std::string::npos)
                << trace << run.err;
            EXPECT_NE(run.err.find("閉じられています"), std::string::npos) << trace << run.err;
            EXPECT_NE(run.err.find("udev"), std::string::npos) << trace << run.err;
        }
    }
}

TEST(QavixctlPortErrors, BusyDeviceNamesTheProcessHoldingIt) {
    const Unprivileged user = unprivilegedUser();
    if (user.uid < 0) {
        GTEST_SKIP() << "needs root and setpriv to act as another user";
    }
    // The holder runs as the same user, as a terminal program of the same login would;
    // /proc shows one's own processes' open files.
    qavix::test::HeldPty pty(true, user.uid, user.gid, 0666);
    ASSERT_TRUE(pty.ready());
    OpenFolder dir;
    const CtlRun run = runCtlAs(user.uid, user.gid, {dir.path(), {{"QAVLINK_COM1", pty.slave()}}},
                                {"info", "--port", "COM1"});
    EXPECT_EQ(run.exitCode, kExitConnection) << run.err;
    EXPECT_NE(run.err.find("使用中"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("(PID " + std::to_string(pty.holder()) + ")"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("断絶"), std::string::npos) << "not a lost connection: " << run.err;
}

TEST(QavixctlPortErrors, DevicesThatAreNoTerminalAreNoSerialPort) {
    OpenFolder dir;
    for (const char* device : {"/dev/null", "/dev/zero"}) {
        const CtlRun run =
            runCtl({dir.path(), {{"QAVLINK_COM1", device}}}, {"info", "--port", "COM1"});
        EXPECT_EQ(run.exitCode, kExitConnection) << run.err;
        EXPECT_NE(run.err.find(std::string(device) + " はシリアルポートではありません"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(run.err.find("がありません"), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace qavix::cli::test
