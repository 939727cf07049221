// `qavix --print-report`: the program run as a user runs it, against the built-in emulator
// and against a port where nothing answers.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "SmallTmpfs.h"
#include "app/PrintReportRun.h"

namespace qavix::test {
namespace {

struct QavixRun {
    int exitCode = -1;
    QString err;
};

QavixRun runQavix(const QTemporaryDir& dir, const QString& com1, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QAVLINK_COM1", com1);
    env.remove("QT_QPA_PLATFORM");  // the program must not need a display for this
    env.remove("DISPLAY");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(QString(QAVIX_BIN_DIR) + "/qavix", args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

// The text a reader copies from the PDF or searches in it, as it is.
QString pdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(PrintReport, WritesTheConnectedControllersSettingsListAsPdf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("service.pdf");
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
    EXPECT_FALSE(QFile::exists(dir.filePath("Qavix.ini")));

    const QString extended = dir.filePath("extended.pdf");
    ASSERT_EQ(runQavix(dir, "sim", {"--print-report", extended, "--extended"}).exitCode, 0);
    EXPECT_TRUE(pdfText(extended).contains("オプション設定"));
}

TEST(PrintReport, NoControllerExitsThreeAndSaysSo) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("none.pdf");
    const QavixRun run = runQavix(dir, "/nonexistent/qavix-device", {"--print-report", pdf});
    EXPECT_EQ(run.exitCode, kPrintReportNoAnswer);
    EXPECT_TRUE(run.err.contains("no controller answered on COM1")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(PrintReport, BadCommandLineAndUnwritableFile) {
    QTemporaryDir dir;
    EXPECT_EQ(runQavix(dir, "sim", {"--print-report"}).exitCode, kPrintReportUsage);
    EXPECT_EQ(runQavix(dir, "sim", {"--print-report", "a.pdf", "--bogus"}).exitCode,
              kPrintReportUsage);
    const QavixRun unwritable =
        runQavix(dir, "sim", {"--print-report", dir.filePath("missing/a.pdf")});
    EXPECT_EQ(unwritable.exitCode, kPrintReportFileError);
    EXPECT_TRUE(unwritable.err.contains("cannot write")) << unwritable.err.toStdString();
    EXPECT_TRUE(wantsPrintReport({"/ad", "--print-report", "x.pdf"}));
    EXPECT_FALSE(wantsPrintReport({"/ad", "/db"}));
}

// A report that cannot be written whole says why, exits 2 and leaves what the target held:
// nothing is written in place, and what the other outputs refuse is refused here too.
TEST(PrintReport, ATargetThatCannotTakeTheReportKeepsWhatItHeld) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.pdf");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0644), 0);
    const QString readOnly = dir.filePath("signed.pdf");
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
    EXPECT_EQ(bytesOf(readOnly), "%PDF- the signed report");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);

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
    EXPECT_EQ(bytesOf(old), "%PDF- last month's report");
    EXPECT_EQ(QDir(QString::fromStdString(disk.path()))
                  .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)
                  .size(),
              2);  // the report and the filler
}

}  // namespace
}  // namespace qavix::test
