#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "FifoWriter.h"
#include "ShiftJis.h"
#include "TempDir.h"
#include "files/FileIo.h"
#include "files/TextFile.h"

namespace qavix {
namespace {

using test::FifoWriter;
using test::TempDir;

std::string bytesOf(const std::string& path) {
    return fileio::readFile(path).bytes;
}

size_t filesIn(const std::filesystem::path& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

TEST(ShiftJis, ConvertsKnownCharactersBothWays) {
    struct Case {
        const char* utf8;
        const char* cp932;
    };
    const Case cases[] = {
        {"受光", "\x8E\xF3\x8C\xF5"},
        {"ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9"},  // half-width katakana: one byte each
        {"a\\b~", "a\\b~"},            // backslash and tilde stay ASCII
        {"Ⅰ", "\x87\x54"},             // a code-page-932 extension character
        {"－", "\x81\x7C"},            // full-width hyphen-minus as Windows maps it
    };
    for (const Case& c : cases) {
        const sjis::Conversion encoded = sjis::toCp932(c.utf8);
        EXPECT_TRUE(encoded.complete) << c.utf8;
        EXPECT_EQ(encoded.text, c.cp932) << c.utf8;
        const sjis::Conversion decoded = sjis::fromCp932(c.cp932);
        EXPECT_TRUE(decoded.complete) << c.utf8;
        EXPECT_EQ(decoded.text, c.utf8);
    }
}

TEST(ShiftJis, UnconvertibleInputIsReplacedAndReported) {
    struct Case {
        sjis::Conversion converted;
        size_t firstFailure;
        const char* text;
    };
    const Case cases[] = {
        {sjis::toCp932("a\xF0\x9F\x98\x80"
                       "b"),
         1, "a?b"},
        {sjis::toCp932("受\xFFz"), 3, "\x8E\xF3?z"},
        // A lead byte with an impossible trail byte loses only itself.
        {sjis::fromCp932("A\x81\x20Z"), 1, "A? Z"},
        {sjis::fromCp932("AB\x82"), 2, "AB?"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.converted.complete) << c.text;
        EXPECT_EQ(c.converted.firstFailure, c.firstFailure) << c.text;
        EXPECT_EQ(c.converted.text, c.text);
    }
}

TEST(ShiftJis, ByteWidthCountsFullWidthAsTwo) {
    EXPECT_EQ(sjis::byteWidth(""), 0u);
    EXPECT_EQ(sjis::byteWidth("ON/OFF"), 6u);
    EXPECT_EQ(sjis::byteWidth("受光レベル"), 10u);
    EXPECT_EQ(sjis::byteWidth("ﾌｧｲﾙ (*.qvx)"), 12u);
    EXPECT_EQ(sjis::byteWidth("光軸1"), 5u);
    EXPECT_EQ(sjis::byteWidth("x\xF0\x9F\x98\x80"), 2u);  // as written: x and '?'
    EXPECT_TRUE(sjis::representable("ＭＳ ゴシック"));
    EXPECT_FALSE(sjis::representable("\xF0\x9F\x98\x80"));
}

TEST(TextFile, SplitsEveryKindOfLineEnd) {
    EXPECT_EQ(textfile::splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(textfile::splitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(textfile::splitLines("").empty());
}

TEST(TextFile, WritesShiftJisWithCrLfAndReadsItBack) {
    TempDir dir;
    const std::string path = dir.file("t.txt");
    ASSERT_TRUE(textfile::writeText(path, "受光\nline2\r\nend").ok);
    EXPECT_EQ(bytesOf(path), "\x8E\xF3\x8C\xF5\r\nline2\r\nend");
    const textfile::TextReadResult read = textfile::readText(path);
    ASSERT_TRUE(read.ok());
    EXPECT_FALSE(read.lossy);
    EXPECT_EQ(read.text, "受光\r\nline2\r\nend");
}

TEST(TextFile, RefusesTextWithoutShiftJisFormAndKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("t.txt");
    ASSERT_TRUE(textfile::writeText(path, "old").ok);
    const fileio::WriteResult result = textfile::writeText(path, "new \xF0\x9F\x98\x80");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(bytesOf(path), "old");
}

// Only regular files are read: a FIFO would stall the reader until some writer came, and a
// device such as /dev/zero never ends. Each is refused at once, naming why, with no bytes.
TEST(FileIo, ReadRefusesWhatIsNotARegularFile) {
    TempDir dir;
    EXPECT_EQ(fileio::readFile(dir.file("none")).status, fileio::ReadStatus::Missing);
    FifoWriter fifo(dir.file("fifo.qbk"));
    ASSERT_TRUE(fifo.made());
    const std::pair<std::string, std::string> cases[] = {
        {dir.path().string(), "フォルダです（ファイルではありません）"},
        {fifo.path(), "FIFO です（通常のファイルではありません）"},
        {"/dev/zero", "デバイスです（通常のファイルではありません）"},
    };
    for (const auto& [path, reason] : cases) {
        const auto read = fifo.readAlone([&path = path] { return fileio::readFile(path); });
        ASSERT_TRUE(read) << path << ": the read waited for a writer";
        EXPECT_EQ(read->status, fileio::ReadStatus::Failed) << path;
        EXPECT_EQ(read->error, path + ": " + reason);
        EXPECT_TRUE(read->bytes.empty()) << path;
    }
}

TEST(FileIo, ReadStopsAtTheSizeCap) {
    TempDir dir;
    // Sparse files: no disk is used for the zeros.
    auto sparse = [&](const char* name, size_t size) {
        const std::string path = dir.file(name);
        std::ofstream(path).close();
        EXPECT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
        return path;
    };
    const std::string atCap = sparse("at-cap", fileio::kMaxReadSize);
    const std::string beyond = sparse("beyond", fileio::kMaxReadSize + 1);
    const fileio::ReadResult whole = fileio::readFile(atCap);
    EXPECT_EQ(whole.status, fileio::ReadStatus::Ok);
    EXPECT_EQ(whole.bytes.size(), fileio::kMaxReadSize);
    const fileio::ReadResult tooLarge = fileio::readFile(beyond);
    EXPECT_EQ(tooLarge.status, fileio::ReadStatus::TooLarge);
    EXPECT_TRUE(tooLarge.bytes.empty());
}

TEST(FileIo, AtomicWriteReplacesAndKeepsPermissions) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    ASSERT_TRUE(fileio::writeFileAtomic(path, "first").ok);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(fileio::writeFileAtomic(path, "second").ok);
    EXPECT_EQ(bytesOf(path), "second");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(filesIn(dir.path()), 1u);  // no temporary file left behind
}

TEST(FileIo, AtomicWriteFollowsTheUsersLinksAndReplacesWhatTheyName) {
    TempDir dir;
    const std::string real = dir.file("real.ini");
    const std::string link = dir.file("link.ini");
    ASSERT_TRUE(fileio::writeFileAtomic(real, "a").ok);
    std::filesystem::create_symlink(real, link);
    std::filesystem::create_symlink("link.ini", dir.file("chain.ini"));  // relative, two hops
    ASSERT_TRUE(fileio::writeFileAtomic(link, "b").ok);
    EXPECT_EQ(bytesOf(real), "b");
    ASSERT_TRUE(fileio::writeFileAtomic(dir.file("chain.ini"), "c").ok);
    EXPECT_EQ(bytesOf(real), "c");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(filesIn(dir.path()), 3u);

    std::filesystem::create_symlink("loop", dir.file("loop"));
    const fileio::WriteResult loop = fileio::writeFileAtomic(dir.file("loop"), "x");
    EXPECT_FALSE(loop.ok);
    EXPECT_EQ(loop.errorNumber, ELOOP) << loop.error;
}

// As root, a save must not follow a link that another user put into a sticky folder that
// everyone may write (/tmp, a shared drop folder) onto a file of the system: the kernel's
// protected_symlinks rule, kept whether or not the machine switches it on.
TEST(FileIo, AtomicWriteRefusesAnotherUsersLinkInASharedFolder) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to own a link as another user";
    }
    constexpr uid_t kOther = 65534;
    TempDir dir;
    const std::string shared = dir.file("shared");
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string victim = dir.file("victim.txt");
    ASSERT_TRUE(fileio::writeFileAtomic(victim, "precious").ok);
    std::filesystem::create_directory(dir.file("elsewhere"));

    const std::string trap = shared + "/errors.csv";
    std::filesystem::create_symlink(victim, trap);
    ASSERT_EQ(::lchown(trap.c_str(), kOther, kOther), 0);
    // Also a link on the way to the file, not only the file's own name.
    std::filesystem::create_symlink(dir.file("elsewhere"), shared + "/sub");
    ASSERT_EQ(::lchown((shared + "/sub").c_str(), kOther, kOther), 0);
    for (const std::string& path : {trap, shared + "/sub/errors.csv"}) {
        SCOPED_TRACE(path);
        const fileio::WriteResult checked = fileio::checkWriteTarget(path);
        EXPECT_FALSE(checked.ok);
        EXPECT_NE(checked.error.find("たどりません"), std::string::npos) << checked.error;
        const fileio::WriteResult written = textfile::writeText(path, "output");
        EXPECT_FALSE(written.ok);
        EXPECT_EQ(written.error, checked.error);
    }
    EXPECT_EQ(bytesOf(victim), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(trap));
    EXPECT_EQ(filesIn(dir.file("elsewhere")), 0u);

    // The folder's owner may place links there, as the user may.
    ASSERT_EQ(::chown(shared.c_str(), kOther, kOther), 0);
    EXPECT_TRUE(fileio::writeFileAtomic(trap, "by the folder's owner").ok);
    ASSERT_EQ(::chown(shared.c_str(), 0, 0), 0);
    ASSERT_EQ(::lchown(trap.c_str(), 0, 0), 0);
    EXPECT_TRUE(fileio::writeFileAtomic(trap, "by the user").ok);
    EXPECT_EQ(bytesOf(victim), "by the user");
    // Without the sticky bit the folder protects nothing: the link is followed, as the
    // kernel does.
    ASSERT_EQ(::lchown(trap.c_str(), kOther, kOther), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
    EXPECT_TRUE(fileio::writeFileAtomic(trap, "plain folder").ok);
}

TEST(FileIo, FailedWriteLeavesThePreviousFile) {
    TempDir dir;
    const std::string path = dir.file("bank.qbk");
    ASSERT_TRUE(fileio::writeFileAtomic(path, "previous contents").ok);

    // Make the write itself fail half-way: the file size limit stops it after 8 bytes.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 8;
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const fileio::WriteResult result = fileio::writeFileAtomic(path, std::string(4096, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(bytesOf(path), "previous contents");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(FileIo, SavesRefuseTargetsThatAreNotWritableRegularFiles) {
    TempDir dir;
    // A FIFO stands in for a device node: replacing either with a regular file breaks
    // whatever else uses it.
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string linkToFifo = dir.file("pipe-link");
    std::filesystem::create_symlink(fifo, linkToFifo);
    const std::string readOnly = dir.file("kept.txt");
    ASSERT_TRUE(fileio::writeFileAtomic(readOnly, "kept").ok);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);

    for (const std::string& path : {fifo, linkToFifo, readOnly}) {
        SCOPED_TRACE(path);
        const fileio::WriteResult checked = fileio::checkWriteTarget(path);
        EXPECT_FALSE(checked.ok);
        EXPECT_FALSE(checked.error.empty());
        const fileio::WriteResult written = textfile::writeText(path, "new");
        EXPECT_FALSE(written.ok);
        EXPECT_EQ(written.error, checked.error);
    }
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(bytesOf(readOnly), "kept");
    EXPECT_EQ(filesIn(dir.path()), 3u);

    // A missing file and a writable one may be saved.
    EXPECT_TRUE(fileio::checkWriteTarget(dir.file("new.txt")).ok);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0644), 0);
    EXPECT_TRUE(fileio::checkWriteTarget(readOnly).ok);
}

TEST(FileIo, WriteIntoAMissingFolderFailsAndTheCheckSaysSoBeforehand) {
    TempDir dir;
    ASSERT_TRUE(fileio::writeFileAtomic(dir.file("plain"), "x").ok);
    for (const std::string& path : {dir.file("no/such/file"), dir.file("plain/file")}) {
        SCOPED_TRACE(path);
        const fileio::WriteResult checked = fileio::checkWriteTarget(path);
        EXPECT_FALSE(checked.ok);
        EXPECT_EQ(checked.error.rfind(path + ": ", 0), 0u) << checked.error;
        EXPECT_FALSE(fileio::writeFileAtomic(path, "x").ok);
    }
    EXPECT_FALSE(fileio::writeFileAtomic(dir.path().string(), "x").ok);
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

}  // namespace
}  // namespace qavix
