// The desktop program: start-up, the event loop and shutdown all run in CQavixApp.

#include <QApplication>
#include <QMessageBox>

#include "app/CQavixApp.h"
#include "app/DesktopSetup.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Qavix");
    QApplication::setApplicationVersion("0.1.0");
    QApplication::setDesktopFileName("qavix");
    QApplication::setWindowIcon(qavix::applicationIcon());
    qavix::installQtTranslations(application);

    QStringList args = QApplication::arguments().mid(1);
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
