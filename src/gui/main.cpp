// The desktop program: start-up, the event loop and shutdown all run in CQavixApp;
// `--print-report` prints the settings list to a PDF file and ends without a window;
// `--help` and `--version` answer before Qt looks for a display.

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <cstdlib>
#include <iostream>

#include "ProgramVersion.h"
#include "app/CQavixApp.h"
#include "app/CommandLineHelp.h"
#include "app/DesktopSetup.h"
#include "app/PrintReportRun.h"

int main(int argc, char* argv[]) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
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
    qavix::installQtTranslations(application);
    if (printReport) {
        return qavix::runPrintReport(arguments, QDir::currentPath());
    }

    QStringList args;
    for (const std::string& a : arguments) {
        args << QString::fromStdString(a);
    }
    QString error;
    if (!qavix::enterUserFolderIfAsked(args, error)) {
        QMessageBox::critical(nullptr, "Qavix", "作業フォルダを作成できません。\n" + error);
        return 1;
    }
    qavix::AppOptions options;
    for (const QString& a : args) {
        options.arguments.emplace_back(a.toStdString());
    }
    qavix::CQavixApp app(std::move(options));
    return app.run();
}
