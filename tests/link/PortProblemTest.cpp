#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "FileText.h"
#include "HeldPty.h"
#include "IniText.h"
#include "PortProblem.h"
#include "TempDir.h"

namespace qavix::link {
namespace {

using qavix::test::contains;

namespace fs = std::filesystem;

TEST(PortProblem, EveryTextNamesTheDeviceAndTheCause) {
    struct Case {
        PortProblemKind kind;
        const char* cause;
    };
    const Case cases[] = {
        {PortProblemKind::Absent, "がありません"},
        {PortProblemKind::Permission, "権限がありません"},
        {PortProblemKind::Busy, "使用中"},
        {PortProblemKind::NotTerminal, "シリアルポートではありません"},
        {PortProblemKind::Settings, "通信条件"},
        {PortProblemKind::Io, "開けません"},
    };
    for (const Case& c : cases) {
        PortProblem p;
        p.kind = c.kind;
        p.port = "COM2";
        p.device = "/dev/ttyUSB7";
        const std::string text = portProblemText(p);
        EXPECT_TRUE(contains(text, "COM2")) << text;
        EXPECT_TRUE(contains(text, "/dev/ttyUSB7")) << text;
        EXPECT_TRUE(contains(text, c.cause)) << text;
        p.port.clear();
        EXPECT_FALSE(contains(portProblemText(p), "通信ポート")) << "opened by path";
    }
}

TEST(PortProblem, PermissionNamesTheGroupToJoinAndBusyNamesTheHolder) {
    PortProblem p{PortProblemKind::Permission, "COM1", "/dev/ttyACM0", "dialout", "", ""};
    const std::string permission = portProblemText(p);
    EXPECT_TRUE(contains(permission, "グループ dialout に参加")) << permission;
    EXPECT_TRUE(contains(permission, "usermod -aG dialout")) << permission;
    p.group.clear();
    const std::string closed = portProblemText(p);
    EXPECT_FALSE(contains(closed, "グループ dialout に参加")) << closed;
    EXPECT_FALSE(contains(closed, "usermod")) << closed;
    EXPECT_TRUE(contains(closed, "閉じられています")) << closed;
    EXPECT_TRUE(contains(closed, "60-qavix-serial.rules")) << closed;

    PortProblem busy{PortProblemKind::Busy, "COM1", "/dev/ttyACM0", "", "minicom (PID 42)", ""};
    EXPECT_TRUE(contains(portProblemText(busy), "minicom (PID 42)"));
    busy.holder.clear();
    EXPECT_FALSE(contains(portProblemText(busy), "PID"));

    PortProblem none{PortProblemKind::NoDevice, "COM4", "COM4", "", "", ""};
    EXPECT_TRUE(contains(portProblemText(none), "内蔵エミュレータ"));
}

// Port and device names come from the environment and Qavix.ini: the text never carries
// bytes a terminal would act on, and keeps everything else as it was.
TEST(PortProblem, NamesAreShownWithTheirControlCharactersWrittenOut) {
    PortProblem p;
    p.kind = PortProblemKind::Absent;
    p.port = "COM1";
    p.device = "/dev/\x1b[2J\x07x\x7f\xC2\x9B\x9Bシリアル\xE3\x81";
    const std::string text = portProblemText(p);
    EXPECT_TRUE(contains(text, "/dev/\\x1B[2J\\x07x\\x7F\\xC2\\x9B\\x9Bシリアル\\xE3\\x81 "))
        << text;
    // A device server's target, the port and a detail from the server are written out alike.
    PortProblem network;
    network.kind = PortProblemKind::Busy;
    network.port = "COM\x1b]0;x\x07";
    network.device = "tcp:\x1b[2Jx:1";
    network.detail = "in use\x1b[31m";
    const std::string networkText = portProblemText(network);
    EXPECT_TRUE(contains(networkText, "COM\\x1B]0;x\\x07 の接続先 tcp:\\x1B[2Jx:1")) << networkText;
    EXPECT_TRUE(contains(networkText, "（in use\\x1B[31m）")) << networkText;
    for (const std::string& shown : {text, networkText}) {
        for (char c : shown) {
            const auto byte = static_cast<unsigned char>(c);
            EXPECT_TRUE(byte >= 0x20 || c == '\n') << shown;
            EXPECT_NE(byte, 0x7F) << shown;
        }
    }
    EXPECT_EQ(ini::printable("/dev/serial/by-id/usb-FTDI_ü-if00\tx"),
              "/dev/serial/by-id/usb-FTDI_ü-if00\\x09x");
}

TEST(PortProblem, CodesAreShortAndReadBack) {
    for (auto kind :
         {PortProblemKind::NoDevice, PortProblemKind::Absent, PortProblemKind::Permission,
          PortProblemKind::Busy, PortProblemKind::NotTerminal, PortProblemKind::Settings,
          PortProblemKind::Io}) {
        const std::string code = portProblemCode(kind);
        EXPECT_LT(code.size(), 8U);
        EXPECT_TRUE(portProblemKindFromCode(code).has_value()) << code;
    }
    EXPECT_EQ(portProblemKindFromCode("BUSY"), PortProblemKind::Busy);
    EXPECT_EQ(portProblemKindFromCode("ACCESS"), PortProblemKind::Permission);
    EXPECT_FALSE(portProblemKindFromCode("TIMEOUT"));
    EXPECT_FALSE(portProblemKindFromCode(""));
    EXPECT_EQ(kindFromErrno(EACCES), PortProblemKind::Permission);
    EXPECT_EQ(kindFromErrno(EBUSY), PortProblemKind::Busy);
    EXPECT_EQ(kindFromErrno(ENOENT), PortProblemKind::Absent);
    EXPECT_EQ(kindFromErrno(EIO), PortProblemKind::Io);
}

TEST(PortProblem, CutNeverSplitsACharacter) {
    const std::string text = "通信ポート COM1 のデバイス /dev/x は他のプログラムが使用中です";
    for (std::size_t size = 1; size <= text.size() + 2; ++size) {
        const std::string cut = cutUtf8(text, size);
        ASSERT_LT(cut.size(), size);
        ASSERT_EQ(text.compare(0, cut.size(), cut), 0);
        if (cut.size() < text.size()) {
            // The next byte starts a character, so nothing of one was left behind.
            EXPECT_NE(static_cast<unsigned char>(text[cut.size()]) & 0xC0, 0x80) << size;
            EXPECT_GE(cut.size() + 4, size - 1) << "cut more than one character short";
        }
    }
    EXPECT_EQ(cutUtf8(text, 0), "");
}

TEST(PortProblem, HolderIsTheProcessWithTheDeviceOpen) {
    test::HeldPty pty;
    ASSERT_TRUE(pty.ready());
    const std::string holder = deviceHolder(pty.slave());
    EXPECT_TRUE(contains(holder, "(PID " + std::to_string(pty.holder()) + ")")) << holder;

    // This process holds its own master side only; the slave it never opened has no
    // holder but the child, and a device nobody holds has none at all.
    const std::string nobody = deviceHolder("/dev/zero");
    EXPECT_FALSE(contains(nobody, "(PID " + std::to_string(::getpid()) + ")"));
    EXPECT_EQ(deviceHolder("/dev/no-such-device"), "");
}

TEST(PortProblem, DiagnosisLooksAtTheDevice) {
    EXPECT_EQ(deviceGroup("/dev/null"), "root");
    EXPECT_EQ(deviceGroup("/dev/no-such-device"), "");
    // Read and write for everybody, but its group is root: never the group to join.
    const PortProblem p = diagnosePort(PortProblemKind::Permission, "COM1", "/dev/null");
    EXPECT_EQ(p.group, "");
    EXPECT_TRUE(p.holder.empty());
}

// Joining the device's group helps only when that group may read and write it.
TEST(PortProblem, TheGroupToJoinIsOneThatOpensTheDevice) {
    const group* dialout = getgrnam("dialout");
    if (dialout == nullptr || geteuid() != 0) {
        GTEST_SKIP() << "needs the dialout group and the right to give a file to it";
    }
    const qavix::test::TempDir tmp;
    const fs::path& dir = tmp.path();
    const std::string device = (dir / "ttyUSB9").string();
    std::ofstream(device) << "";
    struct Case {
        gid_t gid;
        mode_t mode;
        const char* group;
    };
    const Case cases[] = {
        {dialout->gr_gid, 0660, "dialout"}, {dialout->gr_gid, 0666, "dialout"},
        {dialout->gr_gid, 0640, ""},        {dialout->gr_gid, 0620, ""},
        {dialout->gr_gid, 0600, ""},        {0, 0660, ""},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(chown(device.c_str(), 0, c.gid), 0);
        ASSERT_EQ(chmod(device.c_str(), c.mode), 0);
        EXPECT_EQ(groupToJoin(device), c.group) << std::oct << c.mode << " gid " << c.gid;
    }
    EXPECT_EQ(groupToJoin((dir / "gone").string()), "");
}

TEST(PortProblem, FailureCodesAreExplainedAgainFromThePortName) {
    const qavix::test::TempDir tmp;
    const fs::path& dir = tmp.path();
    const fs::path regular = dir / "not-a-tty";
    std::ofstream(regular) << "x";
    const fs::path ini = dir / "Qavix.ini";
    std::ofstream(ini) << "[Ports]\nCOM3=" << (dir / "unplugged").string()
                       << "\nCOM4=" << regular.string() << "\nCOM5=sim\nCOM6=/dev/null\n"
                       << "COM7=/dev/zero\n";
    for (const char* name :
         {"QAVLINK_COM3", "QAVLINK_COM4", "QAVLINK_COM5", "QAVLINK_COM6", "QAVLINK_COM7"}) {
        ::unsetenv(name);
    }

    const auto absent = describeOpenFailure("COM3", "NOPORT", ini.string());
    ASSERT_TRUE(absent);
    EXPECT_EQ(absent->kind, PortProblemKind::Absent);
    EXPECT_EQ(absent->device, (dir / "unplugged").string());
    const auto notTty = describeOpenFailure("COM4", "NOPORT", ini.string());
    ASSERT_TRUE(notTty);
    EXPECT_EQ(notTty->kind, PortProblemKind::NotTerminal);
    // Devices that are no terminal are no serial port either, and they are not missing.
    for (const char* port : {"COM6", "COM7"}) {
        const auto device = describeOpenFailure(port, "NOPORT", ini.string());
        ASSERT_TRUE(device) << port;
        EXPECT_EQ(device->kind, PortProblemKind::NotTerminal) << port;
        EXPECT_TRUE(contains(portProblemText(*device), "シリアルポートではありません"));
    }
    EXPECT_FALSE(describeOpenFailure("COM5", "NOPORT", ini.string())) << "the emulator";
    EXPECT_FALSE(describeOpenFailure("COM3", "TIMEOUT", ini.string())) << "not an open failure";
    const auto access = describeOpenFailure("COM4", "ACCESS", ini.string());
    ASSERT_TRUE(access);
    EXPECT_EQ(access->port, "COM4");
    EXPECT_EQ(access->kind, PortProblemKind::Permission);
    EXPECT_EQ(access->device, regular.string());
}

}  // namespace
}  // namespace qavix::link
