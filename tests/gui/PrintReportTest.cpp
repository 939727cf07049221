// `qavix --print-report`: the program run as a user runs it, against the built-in emulator
// and against a port where nothing answers.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

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
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    p.waitForFinished(30000);
    // One glyph serves "一" and the radical "⼀"; the PDF names the radical.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
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
    EXPECT_TRUE(text.contains("設定一覧"));
    EXPECT_TRUE(text.contains("Page 1"));
    EXPECT_TRUE(text.contains("コントローラ設定内容一覧"));
    EXPECT_TRUE(text.contains("CH3"));
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

}  // namespace
}  // namespace qavix::test
