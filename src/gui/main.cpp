// The desktop program: start-up, the event loop and shutdown all run in CQavixApp;
// `--print-report` prints the settings list to a PDF file and ends without a window;
// `--help` and `--version` answer before Qt looks for a display.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "ProgramVersion.h"
#include "app/CQavixApp.h"
#include "app/CommandLineHelp.h"
#include "app/DesktopSetup.h"
#include "app/PrintReportRun.h"
#include "app/ProgramTranslations.h"

namespace {

constexpr const char* kSettingsFileName = "Qavix.ini";

// The language of the settings in the working folder; false when --lang named a language the
// program does not speak (said on standard error in the language chosen without it).
bool setUpLanguage(QApplication& application, const std::optional<std::string>& option) {
    const qavix::i18n::LanguageChoice choice = qavix::setUpProgramLanguage(
        application, option, QDir::current().filePath(kSettingsFileName).toStdString());
    if (option && choice.passedOver.rfind(qavix::i18n::kLanguageOption, 0) == 0) {
        std::cerr << QCoreApplication::translate("qavix::main",
                                                 "qavix: --lang %1: この言語はありません")
                         .arg(QString::fromStdString(*option))
                         .toStdString()
                  << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    const std::optional<std::string> language = qavix::takeLanguageArgument(arguments);
    switch (qavix::infoRequest(arguments)) {
        case qavix::InfoRequest::Help:
            std::cout << qavix::helpText();
            return 0;
        case qavix::InfoRequest::Version:
            std::cout << qavix::versionText();
            return 0;
        case qavix::InfoRequest::None:
            break;
    }
    const bool printReport = qavix::wantsPrintReport(arguments);
    if (printReport) {
        // A service report is printed from a shell, often without a desktop.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Qavix");
    QApplication::setApplicationVersion(qavix::programVersion());
    QApplication::setDesktopFileName("qavix");
    QApplication::setWindowIcon(qavix::applicationIcon());
    if (printReport) {
        if (!setUpLanguage(application, language)) {
            return qavix::kPrintReportUsage;
        }
        return qavix::runPrintReport(arguments, QDir::currentPath());
    }

    QStringList args;
    for (const std::string& a : arguments) {
        args << QString::fromStdString(a);
    }
    QString error;
    const bool inFolder = qavix::enterUserFolderIfAsked(args, error);
    if (!setUpLanguage(application, language)) {
        return qavix::kPrintReportUsage;
    }
    if (!inFolder) {
        QMessageBox::critical(
            nullptr, "Qavix",
            QCoreApplication::translate("qavix::main", "作業フォルダを作成できません。\n") + error);
        return 1;
    }
    qavix::AppOptions options;
    for (const QString& a : args) {
        options.arguments.emplace_back(a.toStdString());
    }
    qavix::CQavixApp app(std::move(options));
    return app.run();
}
