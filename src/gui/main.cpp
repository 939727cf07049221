// The desktop program: start-up, the event loop and shutdown all run in CQavixApp.

#include <QApplication>

#include "app/CQavixApp.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Qavix");
    QApplication::setApplicationVersion("0.1.0");

    qavix::AppOptions options;
    for (int i = 1; i < argc; ++i) {
        options.arguments.emplace_back(argv[i]);
    }
    qavix::CQavixApp app(std::move(options));
    return app.run();
}
