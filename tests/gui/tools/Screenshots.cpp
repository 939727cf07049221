// Runs the program in-process against the built-in emulator and saves pictures of the main
// window: current values, a bank selected, the debug layout, the basic information page (as
// read and with an edited ID) and the clock page. Usage:
//   gui_screenshots <output folder> [current|bank|debug|splash|basic|basic-edited|clock]...

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "app/CQavixApp.h"
#include "app/CSplashDlg.h"
#include "frame/CLeftPaneView.h"
#include "frame/CMainFrame.h"
#include "frame/CRightPaneFrame.h"
#include "pages/CView001.h"

namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool shootSplash(const QString& folder) {
    QPointer<qavix::CSplashDlg> splash = new qavix::CSplashDlg(5000);
    splash->start();
    settle(700);
    const QString path = QDir(folder).filePath("splash.png");
    const bool ok = splash->grab().save(path);
    std::cout << path.toStdString() << (ok ? " saved\n" : " NOT saved\n");
    splash->close();
    return ok;
}

bool shoot(const QString& folder, const QString& kind) {
    if (kind == "splash") {
        return shootSplash(folder);
    }
    QTemporaryDir work;
    qavix::AppOptions options;
    options.workingDirectory = work.path();
    options.singleInstance = false;
    options.timings.splashWaitMs = 0;
    options.timings.readDelayMs = 0;
    if (kind == "debug") {
        options.arguments = {"/db", "/ad"};
    }
    {
        QFile ini(QDir(work.path()).filePath("Qavix.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write(
            "[Option]\r\nSplash=0\r\n[Qavix_Section]\r\nleft=0\r\ntop=0\r\nright=1000\r\nbottom="
            "700\r\n");
    }
    qavix::CQavixApp app(options);
    if (!app.start()) {
        std::cerr << "start-up failed\n";
        return false;
    }
    qavix::CMainFrame* frame = app.mainFrame();
    frame->resize(1000, 700);
    settle(300);
    qavix::CLeftPaneView* tree = frame->tree();
    if (kind == "current") {
        tree->tree()->setCurrentItem(tree->rootItem(0));
        tree->tree()->expandAll();
    } else if (kind == "bank") {
        tree->tree()->setCurrentItem(tree->rootItem(2));
    } else if (kind == "basic" || kind == "basic-edited") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::BasicInfo, 0));
        if (kind == "basic-edited") {
            settle(300);
            auto* page = static_cast<qavix::CView001*>(
                frame->rightPane()->splitterView()->view(qavix::nav::kViewPage001));
            page->idBox()->setFocus();
            page->idBox()->selectAll();
            QTest::keyClicks(page->idBox(), "abc");
        }
    } else if (kind == "clock") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::Clock, 0));
        settle(1500);
    } else if (kind == "debug") {
        if (auto* item = tree->findItem(qavix::nav::ItemKind::SensorOperation, 0, 1)) {
            tree->tree()->setCurrentItem(item);
        }
    }
    settle(kind == "debug" ? 4500 : 500);
    const QString path = QDir(folder).filePath("main-" + kind + ".png");
    const bool ok = frame->grab().save(path);
    std::cout << path.toStdString() << (ok ? " saved\n" : " NOT saved\n");
    app.shutdown();
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    setenv("QAVLINK_COM1", "sim", 0);
    QApplication application(argc, argv);
    if (argc < 2) {
        std::cerr << "usage: gui_screenshots <folder> "
                     "[current|bank|debug|splash|basic|basic-edited|clock]...\n";
        return 2;
    }
    QDir().mkpath(argv[1]);
    QStringList kinds;
    for (int i = 2; i < argc; ++i) {
        kinds << argv[i];
    }
    if (kinds.isEmpty()) {
        kinds = {"current", "bank", "debug", "splash", "basic", "basic-edited", "clock"};
    }
    bool ok = true;
    for (const QString& k : kinds) {
        ok = shoot(argv[1], k) && ok;
    }
    return ok ? 0 : 1;
}
