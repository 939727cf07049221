// The messages of a port on a device server: every kind names the port, the target and its
// cause, its code reads back, and a failure code of the library is explained again from
// the port's value as for a local device.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "FileText.h"
#include "PortProblem.h"
#include "ScopedLanguage.h"
#include "TempDir.h"

namespace qavix::link {
namespace {

using qavix::test::contains;

namespace fs = std::filesystem;

TEST(NetworkProblem, EveryKindNamesTheTargetAndItsCause) {
    struct Case {
        PortProblemKind kind;
        const char* code;
        const char* cause;
    };
    const Case cases[] = {
        {PortProblemKind::BadAddress, "ADDRESS", "書き方が正しくありません"},
        {PortProblemKind::HostUnknown, "NOHOST", "ホスト名が見つかりません"},
        {PortProblemKind::LookupFailed, "DNSFAIL", "ホスト名を調べられません"},
        {PortProblemKind::Refused, "REFUSED", "接続が拒否されました"},
        {PortProblemKind::Unreachable, "UNREACH", "届きません"},
        {PortProblemKind::NoAnswer, "NOREPLY", "秒以内に接続に応じません"},
        {PortProblemKind::Dropped, "DROPPED", "別のクライアントが同じポートに接続"},
        {PortProblemKind::Busy, "BUSY", "他のクライアントが使用中です"},
        {PortProblemKind::NoComPortOption, "NOCPO", "COM-PORT-OPTION"},
        {PortProblemKind::RateRefused, "NEGRATE", "通信速度の設定を受け付けません"},
        {PortProblemKind::DataSizeRefused, "NEGSIZE", "データビット長の設定"},
        {PortProblemKind::ParityRefused, "NEGPAR", "パリティの設定"},
        {PortProblemKind::StopSizeRefused, "NEGSTOP", "ストップビットの設定"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(portProblemCode(c.kind)), c.code);
        EXPECT_LT(std::string(c.code).size(), 8u);
        EXPECT_EQ(portProblemKindFromCode(c.code), c.kind);
        PortProblem p;
        p.kind = c.kind;
        p.port = "COM3";
        p.device = "rfc2217:plc-line3:4001";
        p.detail = "要求 115200 bps、応答 9600 bps";
        const std::string text = portProblemText(p);
        EXPECT_EQ(text.rfind("通信ポート COM3 の接続先 rfc2217:plc-line3:4001", 0), 0u) << text;
        EXPECT_TRUE(contains(text, c.cause)) << text;
        p.port.clear();
        EXPECT_EQ(portProblemText(p).rfind("接続先 rfc2217:", 0), 0u) << "opened by value";
    }
    PortProblem line;
    line.kind = PortProblemKind::RateRefused;
    line.device = "rfc2217:x:1";
    line.detail = "要求 115200 bps、応答 9600 bps";
    EXPECT_TRUE(contains(portProblemText(line), "（要求 115200 bps、応答 9600 bps）"));
}

TEST(NetworkProblem, TheConnectTimeoutInTheMessageIsTheOneInForce) {
    PortProblem p;
    p.kind = PortProblemKind::NoAnswer;
    p.device = "tcp:10.0.0.7:4001";
    ::setenv("QAVLINK_CONNECT_TIMEOUT", "2500", 1);
    EXPECT_TRUE(contains(portProblemText(p), " 2.5 秒以内")) << portProblemText(p);
    ::unsetenv("QAVLINK_CONNECT_TIMEOUT");
    EXPECT_TRUE(contains(portProblemText(p), " 3 秒以内")) << portProblemText(p);
}

// The library's message buffer is short: what only the library knew (the value a server
// answered) reaches the program's text through it, whole or not at all.
TEST(NetworkProblem, TheLibrarysMessageCarriesTheDetailToTheProgramsText) {
    PortProblem p;
    p.kind = PortProblemKind::RateRefused;
    p.port = "COM2";
    p.device = "rfc2217:device-server-of-press-line-3.plant.example:4001";
    p.detail = "要求 9600 bps、応答 19200 bps";
    constexpr std::size_t kLibraryBuffer = 128;
    const std::string message = portProblemMessage(p, kLibraryBuffer);
    EXPECT_LT(message.size(), kLibraryBuffer);
    EXPECT_EQ(detailOfMessage(message), p.detail) << message;
    EXPECT_EQ(portProblemMessage(p, 4096), portProblemText(p)) << "whole when it fits";

    p.detail = std::string(200, 'w');
    EXPECT_EQ(detailOfMessage(cutUtf8(portProblemMessage(p, kLibraryBuffer), kLibraryBuffer)), "")
        << "a detail cut short is left out";
}

// In English the detail sits in Latin brackets at the end of the first line; the program
// finds it there as it does in Japanese.
TEST(NetworkProblem, TheDetailComesThroughInEnglishToo) {
    const qavix::test::ScopedLanguage english("en");
    ASSERT_TRUE(english.used());
    PortProblem p;
    p.kind = PortProblemKind::NoAnswer;
    p.port = "COM2";
    p.device = "tcp:plc-7:4001";
    p.detail = "no route (EHOSTUNREACH)";
    const std::string message = portProblemMessage(p, 128);
    // Too long for the library's buffer with the target: the cause line alone, detail whole.
    EXPECT_EQ(message.rfind("No answer to the connection from the target within ", 0), 0u)
        << message;
    EXPECT_EQ(detailOfMessage(message), p.detail) << message;
    EXPECT_EQ(detailOfMessage("Cannot open device /dev/ttyS0."), "");

    PortProblem busy{PortProblemKind::Busy, "COM1", "/dev/ttyACM0", "", "minicom (PID 42)", ""};
    EXPECT_EQ(portProblemText(busy),
              "Another program is using device /dev/ttyACM0 of port COM1: minicom (PID 42).\n"
              "End that program.");
}

TEST(NetworkProblem, LibraryCodesAreExplainedFromThePortsValue) {
    const qavix::test::TempDir tmp;
    const fs::path& dir = tmp.path();
    const fs::path ini = dir / "Qavix.ini";
    std::ofstream(ini) << "[Ports]\nCOM2=rfc2217:plc-line3:4001\nCOM3=tcp:plc:0\n";
    ::unsetenv("QAVLINK_COM2");
    ::unsetenv("QAVLINK_COM3");

    const auto kicked = describeOpenFailure("COM2", "DROPPED", ini.string(),
                                            "接続先 が切られました（Server shut down）。");
    ASSERT_TRUE(kicked);
    EXPECT_EQ(kicked->kind, PortProblemKind::Dropped);
    EXPECT_EQ(kicked->detail, "Server shut down");
    EXPECT_EQ(kicked->port, "COM2");
    EXPECT_EQ(kicked->device, "rfc2217:plc-line3:4001");
    // A device server's BUSY is no process on this machine: no /proc scan, its own words.
    const auto busy = describeOpenFailure("COM2", "BUSY", ini.string());
    ASSERT_TRUE(busy);
    EXPECT_TRUE(busy->holder.empty());
    EXPECT_TRUE(contains(portProblemText(*busy), "他のクライアントが使用中"))
        << portProblemText(*busy);
    // A value that names no address says what is wrong with it, whatever the code.
    const auto malformed = describeOpenFailure("COM3", "IOERR", ini.string());
    ASSERT_TRUE(malformed);
    EXPECT_EQ(malformed->kind, PortProblemKind::BadAddress);
    EXPECT_TRUE(contains(portProblemText(*malformed), "1〜65535")) << portProblemText(*malformed);
    // Opened by its value, as the settings dialog tries a mapping before saving it.
    const auto direct = describeOpenFailure("tcp:10.0.0.7:4001", "REFUSED", ini.string());
    ASSERT_TRUE(direct);
    EXPECT_EQ(direct->port, "");
    EXPECT_EQ(direct->device, "tcp:10.0.0.7:4001");
}

}  // namespace
}  // namespace qavix::link
