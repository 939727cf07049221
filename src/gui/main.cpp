// The desktop program: start-up, the event loop and shutdown all run in CQavixApp;
// `--print-report` prints the settings list to a PDF file and ends without a window.

#include <QApplication>
#include <QDir>
#include <cstdlib>

#include "app/CQavixApp.h"
#include "app/PrintReportRun.h"

int main(int argc, char* argv[]) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    const bool printReport = qavix::wantsPrintReport(arguments);
    if (printReport) {
        // A service report is printed from a shell, often without a desktop.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Qavix");
    QApplication::setApplicationVersion("0.1.0");
    if (printReport) {
        return qavix::runPrintReport(arguments, QDir::currentPath());
    }

    qavix::AppOptions options;
    options.arguments = std::move(arguments);
    qavix::CQavixApp app(std::move(options));
    return app.run();
}
