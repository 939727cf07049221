// `qavix --print-report`: the program run as a user runs it, against the built-in emulator
// and against a port where nothing answers.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "ChildProcess.h"
#include "SmallTmpfs.h"
#include "TempFolder.h"
#include "app/PrintReportRun.h"

namespace qavix::test {
namespace {

struct QavixRun {
    int exitCode = -1;
    QString err;
};

QavixRun runQavix(const TempDir& dir, const QString& com1, const QStringList& args) {
    std::vector<std::string> argv{QAVIX_BIN_DIR "/qavix"};
    for (const QString& a : args) {
        argv.push_back(a.toStdString());
    }
    ProcessSetup setup;
    setup.workDir = dir.str();
    setup.env = {{"QAVLINK_COM1", com1.toStdString()}};
    setup.unset = {"QT_QPA_PLATFORM", "DISPLAY"};  // the program must not need a display
    const ProcessResult run = runProcess(argv, setup, std::chrono::seconds(30));
    return {run.exitCode, QString::fromStdString(run.err)};
}

// The text a reader copies from the PDF or searches in it, as it is.
QString pdfText(const QString& pdf) {
    return QString::fromStdString(
        runProcess({"pdftotext", "-enc", "UTF-8", pdf.toStdString(), "-"}).out);
}

TEST(PrintReport, WritesTheConnectedControllersSettingsListAsPdf) {
    const TempDir dir;
    const QString pdf = filePathOf(dir, "service.pdf");
    const QavixRun run = runQavix(dir, "sim:--sensors 40,32,24", {"--print-report", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    const QString text = pdfText(pdf);
    // "一" as itself, not as the Kangxi radical "⼀" whose glyph it shares in the system font.
    EXPECT_TRUE(text.contains("設定一覧")) << text.left(200).toStdString();
    EXPECT_FALSE(text.contains(QChar(0x2F00)));
    EXPECT_TRUE(text.contains("Page 1"));
    EXPECT_TRUE(text.contains("コントローラ設定内容一覧"));
    EXPECT_TRUE(text.contains("CH3"));
    // The sensors' serial numbers, which the read of all settings leaves out (the
    // emulator's factory values of CH1 and CH3).
    EXPECT_TRUE(text.contains("0211714")) << text.toStdString();
    EXPECT_TRUE(text.contains("0215714"));
    EXPECT_FALSE(text.contains("オプション設定"));
    // No Qavix.ini is written by a report run.
    EXPECT_FALSE(QFile::exists(filePathOf(dir, "Qavix.ini")));

    const QString extended = filePathOf(dir, "extended.pdf");
    ASSERT_EQ(runQavix(dir, "sim", {"--print-report", extended, "--extended"}).exitCode, 0);
    EXPECT_TRUE(pdfText(extended).contains("オプション設定"));
}

// In English the report is the catalogue's: the text a reader copies from the PDF is English.
TEST(PrintReport, TheReportSpeaksTheChosenLanguage) {
    const TempDir dir;
    const QString pdf = filePathOf(dir, "english.pdf");
    const QavixRun run = runQavix(dir, "sim", {"--lang", "en", "--print-report", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains("controller settings report")) << text.left(400).toStdString();
    EXPECT_TRUE(text.contains("Page 1"));
    // The emulator's values are ASCII: any Japanese left is a text without its translation.
    const QRegularExpression japanese(R"([\p{Han}\p{Hiragana}\p{Katakana}])");
    EXPECT_FALSE(text.contains(japanese)) << text.toStdString();
}

TEST(PrintReport, NoControllerExitsThreeAndSaysSo) {
    const TempDir dir;
    const QString pdf = filePathOf(dir, "none.pdf");
    const QavixRun run = runQavix(dir, "/nonexistent/qavix-device", {"--print-report", pdf});
    EXPECT_EQ(run.exitCode, kPrintReportNoAnswer);
    EXPECT_TRUE(run.err.contains("no controller answered on COM1")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(PrintReport, BadCommandLineAndUnwritableFile) {
    const TempDir dir;
    EXPECT_EQ(runQavix(dir, "sim", {"--print-report"}).exitCode, kPrintReportUsage);
    EXPECT_EQ(runQavix(dir, "sim", {"--print-report", "a.pdf", "--bogus"}).exitCode,
              kPrintReportUsage);
    const QavixRun unwritable =
        runQavix(dir, "sim", {"--print-report", filePathOf(dir, "missing/a.pdf")});
    EXPECT_EQ(unwritable.exitCode, kPrintReportFileError);
    EXPECT_TRUE(unwritable.err.contains("cannot write")) << unwritable.err.toStdString();
    EXPECT_TRUE(wantsPrintReport({"/ad", "--print-report", "x.pdf"}));
    EXPECT_FALSE(wantsPrintReport({"/ad", "/db"}));
}

// A report that cannot be written whole says why, exits 2 and leaves what the target held:
// nothing is written in place, and what the other outputs refuse is refused here too.
TEST(PrintReport, ATargetThatCannotTakeTheReportKeepsWhatItHeld) {
    const TempDir dir;
    const QString fifo = filePathOf(dir, "pipe.pdf");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0644), 0);
    const QString readOnly = filePathOf(dir, "signed.pdf");
    {
        QFile f(readOnly);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF- the signed report");
    }
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    for (const QString& target : {QString("/dev/full"), fifo, readOnly}) {
        const QavixRun run = runQavix(dir, "sim", {"--print-report", target});
        EXPECT_EQ(run.exitCode, kPrintReportFileError) << target.toStdString();
        EXPECT_TRUE(run.err.contains("cannot write " + target)) << run.err.toStdString();
    }
    EXPECT_EQ(fileBytes(readOnly), "%PDF- the signed report");
    EXPECT_EQ(QDir(pathOf(dir)).entryList(QDir::Files | QDir::System).size(), 2);

    // A disk that fills up part-way: the old report stays, no part of the new one is left.
    const SmallTmpfs disk(64);
    if (!disk.mounted()) {
        GTEST_SKIP() << "needs the right to mount a small file system";
    }
    const QString old = QString::fromStdString(disk.file("service.pdf"));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF- last month's report");
    }
    ASSERT_TRUE(disk.fill(8 * 1024));
    const QavixRun full = runQavix(dir, "sim", {"--print-report", old});
    EXPECT_EQ(full.exitCode, kPrintReportFileError) << full.err.toStdString();
    EXPECT_TRUE(full.err.contains("No space left on device")) << full.err.toStdString();
    EXPECT_EQ(fileBytes(old), "%PDF- last month's report");
    EXPECT_EQ(QDir(QString::fromStdString(disk.path()))
                  .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)
                  .size(),
              2);  // the report and the filler
}

}  // namespace
}  // namespace qavix::test
