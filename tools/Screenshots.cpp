// Runs the program in-process against the built-in emulator and saves pictures of the main
// window (current values, a bank selected, the debug layout), the navigation view, the
// environment and communication settings dialogs, the eight button textures, the basic
// information page (as read and with an edited ID), the clock page, the settings list with
// its print preview and its first printed page (PDF rendered with pdftoppm), the error log,
// the scan monitor (running after a wrap, and stopped), the overall ON/OFF, P-I/O and group
// pages with edited and refused fields, the parallel output, option and sensor operation
// pages, the received-light graph, threshold tuning (a drag in progress, the batch dialog
// with its preview), the received-light list and a bank's threshold list, a sensor's graph
// and the scan monitor in a 1024 x 768 window, the beam pages, and the change journal's
// window after a write. Usage:
//   gui_screenshots [--lang en] <output folder> [current|bank|debug|splash|textures|
//                                    dialogs|navi-...|basic|basic-edited|clock|
//                                    settings-list|print-preview|report-pdf|error-log|
//                                    scan|scan-stopped|overall|pio|groups|parallel|options|sensor|graph...|batch-dialog|
//                                    level-list|bank-threshold-list|small-graph|small-scan|
//                                    scale2-graph|scale2-sensor|scale2-level-list|
//                                    scale2-error-log|banks|offline|beams-...|journal]...
// --lang en takes them in English (docs/screenshots/en); Japanese otherwise.

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "MessageCatalogue.h"
#include "app/CQavixApp.h"
#include "app/CSplashDlg.h"
#include "app/CommSettingsDialog.h"
#include "app/DesktopSetup.h"
#include "app/ProgramTranslations.h"
#include "files/BankFile.h"
#include "files/BankFileDialogs.h"
#include "files/CBankExportDlg.h"
#include "files/CBankImportDlg.h"
#include "frame/CBankCopyDlg.h"
#include "frame/CBankDialogBar.h"
#include "frame/CBankEditDlg.h"
#include "frame/CBankEraseDlg.h"
#include "frame/CBankManager.h"
#include "frame/CLeftPaneView.h"
#include "frame/CMainFrame.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CommandIds.h"
#include "frame/EnvironmentDialog.h"
#include "widgets/CPictureButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include "monitor/BeamCommandBars.h"
#include "monitor/CBatchDlg.h"
#include "monitor/CMonitor.h"
#include "monitor/CThresholdTuning.h"
#include "monitor/CView002.h"
#include "monitor/CView004.h"
#include "monitor/CView007.h"
#include "monitor/CView017.h"
#include "monitor/ChartGeometry.h"
#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "pages/CView008.h"
#include "pages/CView009.h"
#include "pages/CView011.h"
#include "pages/CView012.h"
#include "pages/CView016.h"
#include "report/CView005.h"
#include "report/ReportPrinter.h"

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

bool save(const QPixmap& pixmap, const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    const bool ok = pixmap.save(path);
    std::cout << path.toStdString() << (ok ? " saved\n" : " NOT saved\n");
    return ok;
}

// The eight button textures side by side, released and pressed, at normal and double
// resolution.
bool shootTextures(const QString& folder) {
    static const char* kNames[] = {"Normal",  "Hard bump", "Soft bump", "Flat",
                                   "V shade", "H shade",   "Noise",     "Metal"};
    QWidget board;
    board.setAutoFillBackground(true);
    auto* grid = new QGridLayout(&board);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setSpacing(10);
    for (int t = 0; t < qavix::kButtonTextureCount; ++t) {
        auto* name = new QLabel(kNames[t]);
        name->setAlignment(Qt::AlignCenter);
        grid->addWidget(name, 0, t);
        for (int row = 1; row <= 3; ++row) {
            auto* b = new qavix::CPictureButton();
            b->setTexture(static_cast<qavix::ButtonTexture>(t));
            b->setText(row == 3 ? "書込み" : "インポート");
            b->setIcon(board.style()->standardIcon(QStyle::SP_DialogOpenButton));
            b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            b->setMinimumSize(88, 52);
            b->setDown(row == 2);
            b->setEnabled(row != 3);
            grid->addWidget(b, row, t);
        }
    }
    board.resize(board.sizeHint());
    board.show();
    settle(100);
    bool ok = save(board.grab(), folder, "textures.png");
    QPixmap hi(board.size() * 2);
    hi.setDevicePixelRatio(2.0);
    hi.fill(Qt::white);
    board.render(&hi);
    ok = save(hi, folder, "textures-2x.png") && ok;
    return ok;
}

bool shootDialogs(const QString& folder, qavix::CQavixApp& app) {
    bool ok = true;
    {
        qavix::EnvironmentDialog env(app.state().user, app.mainFrame());
        env.show();
        const char* names[] = {"env-operation.png", "env-colour.png", "env-other.png"};
        for (int tab = 0; tab < 3; ++tab) {
            env.tabs()->setCurrentIndex(tab);
            settle(150);
            ok = save(env.grab(), folder, names[tab]) && ok;
        }
    }
    qavix::PortSettings ports = app.portSettings();
    qavix::CommDialogContext context{
        ports, app.presentPorts(),        *app.link(), app.settings(), app.state(),
        [] {}, qavix::CommDialogTimings{}};
    qavix::CommSettingsDialog comm(context, app.mainFrame());
    comm.show();
    settle(150);
    ok = save(comm.grab(), folder, "comm-settings.png") && ok;
    return ok;
}

// The received-light graph page: percent display, absolute display, all sensors, and the
// picture "画像保存" writes.
bool showGraph(const QString& kind, qavix::CMainFrame* frame, const QString& folder) {
    qavix::CLeftPaneView* tree = frame->tree();
    tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::LevelGraph, 0));
    settle(300);
    auto* page = static_cast<qavix::CView002*>(
        frame->rightPane()->splitterView()->view(qavix::nav::kViewPage002));
    if (kind == "graph-absolute") {
        page->commandControls()->absoluteButton()->click();
    } else if (kind == "graph-all") {
        page->selectChannel(3);
        page->setVisibleBars(60);
        page->chart()->setFirstVisible(20);
    } else if (kind == "graph-png") {
        page->updateOnce();
        settle(200);
        const QString path = QDir(folder).filePath("graph-saved.png");
        const bool ok = page->saveImage(path);
        std::cout << path.toStdString() << (ok ? " saved\n" : " NOT saved\n");
        return ok;
    }
    return true;
}

// Threshold tuning on the graph page: a drag held half-way (the window is grabbed by the
// caller), or the batch dialog previewing 120 % (dialog and window saved here).
bool showTuning(const QString& kind, qavix::CMainFrame* frame, const QString& folder) {
    showGraph("graph", frame, folder);
    auto* page = static_cast<qavix::CView002*>(
        frame->rightPane()->splitterView()->view(qavix::nav::kViewPage002));
    qavix::CChartWnd* chart = page->chart();
    if (kind == "graph-drag") {
        page->setVisibleBars(20);
        page->commandControls()->individualButton()->click();
        settle(100);
        const auto frameNow = chart->frame();
        const qavix::chart::BarSpan span = qavix::chart::barSpan(frameNow, 6);
        const int x = (span.left + span.right) / 2;
        const qavix::chart::ThresholdPair t = chart->thresholds(0, 6);
        const int from = qavix::chart::valueToY(frameNow, t.on);
        QTest::mousePress(chart, Qt::LeftButton, Qt::NoModifier, QPoint(x, from));
        QMouseEvent move(QEvent::MouseMove, QPointF(x, from - 60),
                         chart->mapToGlobal(QPointF(x, from - 60)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(chart, &move);
        return true;
    }
    auto* tuning = page->findChild<qavix::CThresholdTuning*>();
    if (tuning == nullptr) {
        return false;
    }
    bool ok = false;
    tuning->setBatchDriver([&](qavix::CBatchDlg& dialog) {
        dialog.chooseReference(true);
        dialog.moveSlider(qavix::tuning::percentToSlider(90));
        dialog.move(frame->geometry().center() - QPoint(dialog.width() / 2, -80));
        settle(400);
        const QPixmap picture = dialog.grab();
        ok = save(picture, folder, "batch-dialog.png");
        // The window with the dialog over it where it stands.
        QPixmap window = frame->grab();
        QPainter painter(&window);
        painter.drawPixmap(frame->mapFromGlobal(dialog.mapToGlobal(QPoint(0, 0))), picture);
        painter.end();
        ok = save(window, folder, "main-batch-preview.png") && ok;
        dialog.reject();
    });
    page->commandControls()->batchButton()->click();
    return ok;
}

// The communication settings with ports mapped to devices and to the emulator, after a
// test of a port whose adapter is unplugged.
bool shootCommDevices(const QString& folder, qavix::CQavixApp& app) {
    app.settings().setString("Ports", "COM2",
                             "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    app.settings().setString("Ports", "COM3", "sim:--sensors 40,32");
    qavix::PortSettings ports = app.portSettings();
    qavix::CommDialogContext context{ports,
                                     app.presentPorts(),
                                     *app.link(),
                                     app.settings(),
                                     app.state(),
                                     [] {},
                                     qavix::CommDialogTimings{0, 500}};
    qavix::CommSettingsDialog comm(context, app.mainFrame());
    comm.show();
    comm.portButton(1)->click();
    comm.runTest();
    settle(150);
    comm.resize(comm.sizeHint());
    settle(150);
    const bool ok = save(comm.grab(), folder, "comm-settings-devices.png");
    // Put the emulator back for whoever runs next.
    comm.cancel();
    return ok;
}

// The communication settings with ports on device servers: COM3 chosen, its host, port
// and protocol fields shown. No test is run: the host names exist only in the picture.
bool shootCommNetwork(const QString& folder, qavix::CQavixApp& app) {
    app.settings().setString("Ports", "COM2", "tcp:192.168.10.21:4001");
    app.settings().setString("Ports", "COM3", "rfc2217:plc-line3:4001");
    qavix::PortSettings ports = app.portSettings();
    qavix::CommDialogContext context{ports,
                                     app.presentPorts(),
                                     *app.link(),
                                     app.settings(),
                                     app.state(),
                                     [] {},
                                     qavix::CommDialogTimings{0, 500}};
    qavix::CommSettingsDialog comm(context, app.mainFrame());
    comm.show();
    comm.portButton(2)->click();
    comm.baudButton(5)->click();
    settle(150);
    comm.resize(comm.sizeHint());
    settle(150);
    const bool ok = save(comm.grab(), folder, "comm-settings-network.png");
    comm.hide();
    app.settings().removeKey("Ports", "COM2");
    app.settings().removeKey("Ports", "COM3");
    return ok;
}

// A dialog of Qt's own, with its buttons in Japanese.
bool shootColourDialog(const QString& folder) {
    QColorDialog dialog(QColor(30, 200, 30));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.show();
    settle(200);
    return save(dialog.grab(), folder, "qt-colour-dialog-ja.png");
}

// The bank bar with an edited bank shown, and the five bank dialogs.
bool shootBanks(const QString& folder, qavix::CQavixApp& app) {
    qavix::CMainFrame* frame = app.mainFrame();
    qavix::CBankManager& banks = frame->bankManager();
    qavix::CLeftPaneView* tree = frame->tree();
    tree->tree()->setCurrentItem(tree->rootItem(3));
    settle(200);
    app.model().storedSet(3).edited = 1;
    frame->updateCommandStates();
    settle(200);
    bool ok = save(frame->grab(), folder, "banks-bar.png");
    ok = save(frame->bankBar()->grab(), folder, "banks-bar-close.png") && ok;
    {
        qavix::CBankEditDlg edit(3, false, nullptr, &app.state(), frame);
        edit.show();
        settle(150);
        ok = save(edit.grab(), folder, "banks-edit.png") && ok;
    }
    {
        qavix::CBankEraseDlg erase(banks, frame);
        erase.bankBox(1)->setChecked(true);
        erase.show();
        settle(150);
        ok = save(erase.grab(), folder, "banks-erase.png") && ok;
    }
    {
        qavix::CBankCopyDlg copy(banks, frame);
        copy.sources()->setCurrentRow(2);
        copy.show();
        settle(150);
        ok = save(copy.grab(), folder, "banks-copy.png") && ok;
    }
    {
        const QString dir = QFileInfo(app.settings().path().c_str()).absolutePath();
        const char* titles[] = {"ライン1 標準", "ライン2 夜間", "受光テスト"};
        for (int i = 0; i < 3; ++i) {
            std::tm when{};
            when.tm_year = 124;
            when.tm_mon = 2;
            when.tm_mday = 5 + i;
            when.tm_hour = 9 + i;
            qavix::bankfile::writeBankFile(
                QDir(dir).filePath(QString("line%1.qbk").arg(i + 1)).toStdString(),
                app.model().storedSet(0), "2.10", titles[i], when);
        }
        qavix::CBankImportDlg import(banks, frame);
        import.listFolderOf(QDir(dir).filePath("line2.qbk"));
        import.target(1)->setChecked(true);
        import.show();
        settle(150);
        ok = save(import.grab(), folder, "banks-import.png") && ok;

        // Its file dialog, listing the bank files by the program's own type.
        QTimer grabber;
        grabber.setInterval(50);
        int ticks = 0;
        QObject::connect(&grabber, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            if (ticks++ == 0) {
                dialog->resize(780, 440);
            }
            if (ticks < 12) {
                return;  // the list fills from a thread of its own
            }
            grabber.stop();
            ok = save(dialog->grab(), folder, "banks-file-dialog.png") && ok;
            dialog->reject();
        });
        grabber.start();
        qavix::chooseBankFileToOpen(frame, dir);
    }
    {
        app.state().exportTitle = "ライン3 点検後";
        qavix::CBankExportDlg exporter(banks, false, frame);
        exporter.show();
        settle(150);
        ok = save(exporter.grab(), folder, "banks-export.png") && ok;
    }
    app.model().storedSet(3).edited = 0;
    return ok;
}

QPixmap withTitleBar(QWidget* window) {
    constexpr int kTitleHeight = 28;
    const QPixmap body = window->grab();
    QPixmap out(body.width(), body.height() + kTitleHeight);
    out.fill(QColor(60, 64, 72));
    QPainter p(&out);
    p.drawPixmap(0, kTitleHeight, body);
    p.setPen(Qt::white);
    p.setFont(QFont("Noto Sans CJK JP", 10, QFont::Bold));
    QString title = window->windowTitle();
    title.replace("[*]", window->isWindowModified() ? "*" : "");
    p.drawText(QRect(0, 0, out.width(), kTitleHeight), Qt::AlignCenter, title);
    return out;
}

// The current values of the emulator as a bank file, for the offline editing picture.
QString writeOfflineSample(const QString& folder) {
    QTemporaryDir work;
    qavix::AppOptions options;
    options.workingDirectory = work.path();
    options.singleInstance = false;
    options.timings.splashWaitMs = 0;
    options.timings.readDelayMs = 0;
    {
        QFile ini(QDir(work.path()).filePath("Qavix.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Option]\r\nSplash=0\r\n");
    }
    qavix::CQavixApp app(options);
    if (!app.start()) {
        return {};
    }
    const QString path = QDir(folder).filePath("line7.qbk");
    qavix::bankfile::writeBankFile(path.toStdString(), app.model().storedSet(0), "2.10",
                                   "ライン7 仕込み", std::tm{});
    app.shutdown();
    return path;
}

bool isMeasurementShot(const QString& kind) {
    return kind == "overall" || kind == "pio" || kind == "groups";
}

// The measurement switches on and a few settings to show, for the pages below "計測処理".
void useMeasurementScenario(const QString& folder) {
    const QString path = QDir(folder).filePath("scenario.txt");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(
        "[current]\n127 = 02\n133 = 01\n143 = 02\n128 = 000100\n"
        "129 = 000A000B000C\n130 = 000500060007\n"
        "144 = 200A0C0101010101010101010101010102010101010101010101010101010101\n"
        "145 = 0105030101010101010101010101010101010101010101010101010101010101\n");
    f.close();
    setenv("QAVLINK_COM1", ("sim:--sensors 40,32 --scenario " + path.toStdString()).c_str(), 1);
}

// Closes the message box a refused value raises, so the picture shows the field behind it.
void dismissMessageSoon() {
    QTimer::singleShot(300, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
        }
    });
}

void editMeasurementPage(const QString& kind, qavix::CMainFrame* frame) {
    using namespace qavix;
    CLeftPaneView* tree = frame->tree();
    CSplitterView* views = frame->rightPane()->splitterView();
    if (kind == "overall") {
        tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::OverallJudgement, 0));
        settle(300);
        auto* page = static_cast<CView009*>(views->view(nav::kViewPage009));
        page->blockedBox(1)->selectAll();
        QTest::keyClicks(page->blockedBox(1), "20");
        page->incidentBox(0)->selectAll();
        dismissMessageSoon();
        QTest::keyClicks(page->incidentBox(0), "0");
    } else if (kind == "pio") {
        tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::Pio, 0));
        settle(300);
        auto* page = static_cast<CView008*>(views->view(nav::kViewPage008));
        emit page->cellEditor()->chosen(5, CView008::kFunctionColumn, 2, "グループ");
        emit page->cellEditor()->chosen(5, CView008::kJudgementColumn, 1, "入光");
        emit page->cellEditor()->chosen(5, CView008::kNumberColumn, 15, "Gr.16");
        emit page->cellEditor()->chosen(9, CView008::kInversionColumn, 0, "無効");
        page->list()->setCurrentCell(12, CView008::kFunctionColumn);
        page->cellEditor()->openCurrent();
    } else {
        tree->tree()->setCurrentItem(tree->findItem(nav::ItemKind::GroupJudgement, 0));
        settle(300);
        auto* page = static_cast<CView011*>(views->view(nav::kViewPage011));
        emit page->cellEditor()->chosen(3, CView011::kUpperChannelColumn, 1, "CH2");
        emit page->cellEditor()->chosen(3, CView011::kUpperBeamColumn, 19, "20");
        emit page->cellEditor()->chosen(10, CView011::kUpperBeamColumn, 0, "1");
        emit page->cellEditor()->chosen(10, CView011::kLowerBeamColumn, 4, "5");
        dismissMessageSoon();
        page->writePage();
    }
}

// The scan monitor with all sensors after its sample counter has come round once: running,
// or stopped and scrolled back a little.
void shootScanMonitor(qavix::CMainFrame* frame, qavix::CLeftPaneView* tree, bool stopped) {
    tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::ScanMonitor, 0));
    settle(300);
    auto* views = frame->rightPane()->splitterView();
    auto* page = static_cast<qavix::CView004*>(views->view(qavix::nav::kViewPage004));
    auto* bar = static_cast<qavix::CMonitor*>(views->view(qavix::nav::kViewMonitor));
    const int all = bar->channelCombo()->count() - 1;
    bar->channelCombo()->setCurrentIndex(all);
    emit bar->channelCombo()->activated(all);
    bar->samplesBox()->setValue(100);
    bar->startStop();
    // Driven by hand rather than by the 125 ms timer, with a pause per sample so that the
    // emulator's light changes from column to column.
    for (int i = 0; i < 1070 && page->running(); ++i) {
        QTest::qWait(4);
        page->tick();
    }
    if (stopped) {
        bar->startStop();
        page->chart()->horizontalScrollBar()->setValue(page->chart()->firstSampleShown() - 30);
    }
}

// The beam pages, opened from CH1's sensor page: the chart over both sensors with the
// incident beams designated and a few unpicked again, the chart of CH1 with blanking beams
// picked by a drag, and the list in both modes with a picked selection.
void showBeams(const QString& kind, qavix::CQavixApp& app) {
    qavix::CMainFrame* frame = app.mainFrame();
    qavix::CLeftPaneView* tree = frame->tree();
    const bool list = kind.startsWith("beams-list");
    const bool blanking = kind == "beams-chart-blanking" || kind == "beams-list";
    app.state().user.blanking = list ? 1 : 0;
    tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::SensorOperation, 0, 1));
    settle(300);
    const auto table =
        blanking ? qavix::BeamFlagTable::FixedBlanking : qavix::BeamFlagTable::Designated;
    // As an opening page does: the table and sensor (CH1, or 4 for all) in the run state,
    // then the page the blanking display setting chooses.
    app.state().beamTable = table;
    app.state().blankingChannel = blanking ? 0 : 4;
    app.state().requestPage(list ? qavix::nav::kPageBeamDesignation : qavix::nav::kPageBlanking);
    settle(300);
    auto* views = frame->rightPane()->splitterView();
    if (!list) {
        auto* page = static_cast<qavix::CView007*>(views->view(qavix::nav::kViewPage007));
        auto* commands = static_cast<qavix::CBrkCommand*>(views->view(qavix::nav::kViewBrkCommand));
        qavix::CChartWnd* chart = page->chart();
        if (!blanking) {
            commands->incidentButton()->click();
        }
        QComboBox* visible = commands->visibleCombo();
        visible->setCurrentIndex(visible->findText("40"));
        emit visible->activated(visible->currentIndex());
        const auto press = [chart](QEvent::Type type, int bar, Qt::MouseButton button) {
            const qavix::chart::BarSpan s =
                qavix::chart::barSpan(chart->frame(), bar - chart->firstVisible());
            const QPoint pos((s.left + s.right) / 2, chart->height() / 2);
            QMouseEvent e(
                type, QPointF(pos), chart->mapToGlobal(QPointF(pos)), button,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                Qt::NoModifier);
            QCoreApplication::sendEvent(chart, &e);
        };
        const Qt::MouseButton button = blanking ? Qt::LeftButton : Qt::RightButton;
        press(QEvent::MouseButtonPress, 10, button);
        press(QEvent::MouseMove, 17, button);
        press(QEvent::MouseButtonRelease, 17, button);
        return;
    }
    auto* page = static_cast<qavix::CView017*>(views->view(qavix::nav::kViewPage017));
    QTableView* view = page->list();
    view->setFocus();
    view->setCurrentIndex(page->listModel()->index(3, 0));
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    }
    QTest::keyClick(view, Qt::Key_Space);
}

// The main window's size: a translation's pictures are taken on the smallest screen the
// program is made for, where longer texts would be the first to be cut.
QSize g_windowSize(1000, 700);

bool shoot(const QString& folder, const QString& kind) {
    if (kind == "splash") {
        return shootSplash(folder);
    }
    if (kind == "textures") {
        return shootTextures(folder);
    }
    if (kind == "colour-dialog") {
        return shootColourDialog(folder);
    }
    QTemporaryDir work;
    qavix::AppOptions options;
    options.workingDirectory = work.path();
    options.singleInstance = false;
    options.timings.splashWaitMs = 0;
    options.timings.readDelayMs = 0;
    QTemporaryDir samples;
    if (kind == "debug") {
        options.arguments = {"/db", "/ad"};
    } else if (kind == "offline") {
        const QString sample = writeOfflineSample(samples.path());
        if (sample.isEmpty()) {
            std::cerr << "no sample bank file\n";
            return false;
        }
        options.arguments = {"--edit", sample.toStdString()};
    } else if (kind == "navi-bank" || kind == "options" || kind == "sensor" ||
               kind == "sensor-bank" || kind.startsWith("beams-") || kind == "small-graph" ||
               kind == "scale2-sensor") {
        options.arguments = {"/ad"};
    }
    {
        QFile ini(QDir(work.path()).filePath("Qavix.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write(
            "[Option]\r\nSplash=0\r\n[Qavix_Section]\r\nleft=0\r\ntop=0\r\nright=1000\r\nbottom="
            "700\r\n");
        // The writes of a shot are recorded in the shot's own folder.
        ini.write("[Journal]\r\nFolder=" + QDir(work.path()).filePath("journal").toUtf8() + "\r\n");
    }
    // The port setting goes back after the shot, so later shots see the factory settings.
    struct PortRestore {
        QByteArray saved = qgetenv("QAVLINK_COM1");
        ~PortRestore() { qputenv("QAVLINK_COM1", saved); }
    } restorePort;
    if (isMeasurementShot(kind)) {
        useMeasurementScenario(work.path());
    } else if (kind.startsWith("beams-")) {
        setenv("QAVLINK_COM1", "sim:--sensors 64,80", 1);
    } else if (kind == "parallel" || kind == "options" || kind == "sensor" ||
               kind == "sensor-bank" || kind == "scale2-sensor") {
        // Three sensors with the measurement functions on, so their pages are in the tree.
        const QString scenario = QDir(work.path()).filePath("scenario.txt");
        QFile f(scenario);
        f.open(QIODevice::WriteOnly);
        f.write("[current]\n127 = 02\n133 = 02\n143 = 02\n135 = 2601\n134 = 0100\n");
        f.close();
        setenv("QAVLINK_COM1",
               ("sim:--sensors 40,32,16 --scenario " + scenario.toStdString()).c_str(), 1);
    }
    qavix::CQavixApp app(options);
    if (!app.start()) {
        std::cerr << "start-up failed\n";
        return false;
    }
    qavix::CMainFrame* frame = app.mainFrame();
    // At a scale factor the window keeps what start-up made of the saved size: the screen.
    if (kind.startsWith("small-")) {
        frame->resize(1024, 768);
    } else if (!kind.startsWith("scale2")) {
        frame->resize(g_windowSize);
    }
    settle(300);
    qavix::CLeftPaneView* tree = frame->tree();
    if (kind == "current") {
        tree->tree()->setCurrentItem(tree->rootItem(0));
        tree->tree()->expandAll();
    } else if (kind == "bank") {
        tree->tree()->setCurrentItem(tree->rootItem(2));
    } else if (kind == "dialogs") {
        const bool ok = shootDialogs(folder, app);
        app.shutdown();
        return ok;
    } else if (kind == "comm-devices") {
        const bool ok = shootCommDevices(folder, app);
        app.shutdown();
        return ok;
    } else if (kind == "comm-network") {
        const bool ok = shootCommNetwork(folder, app);
        app.shutdown();
        return ok;
    } else if (kind == "banks") {
        const bool ok = shootBanks(folder, app);
        app.shutdown();
        return ok;
    } else if (kind == "offline") {
        // A change not yet saved to the file: the title carries the mark. The basic
        // information page shows the controller's ID, which a bank file cannot hold, read-only;
        // the status bar names the file.
        app.model().working().channel(0).axisTh[0] += 5;
        tree->tree()->expandAll();
        if (auto* item = tree->findItem(qavix::nav::ItemKind::BasicInfo, 0)) {
            tree->tree()->setCurrentItem(item);
        }
        frame->updateCommandStates();
    } else if (kind == "navi-current") {
        tree->tree()->setCurrentItem(tree->rootItem(0));
    } else if (kind == "navi-bank") {
        tree->tree()->setCurrentItem(tree->rootItem(2));
    } else if (kind == "navi-sensor") {
        if (auto* item = tree->findItem(qavix::nav::ItemKind::Sensor, 0, 2)) {
            tree->tree()->setCurrentItem(item);
        }
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
    } else if (kind == "journal") {
        // An ID written through the basic information page, then the window that lists it.
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::BasicInfo, 0));
        settle(300);
        auto* page = static_cast<qavix::CView001*>(
            frame->rightPane()->splitterView()->view(qavix::nav::kViewPage001));
        page->idBox()->selectAll();
        QTest::keyClicks(page->idBox(), "abc");
        static_cast<qavix::CCommandDlg*>(
            frame->rightPane()->splitterView()->view(qavix::nav::kViewCommandDlg))
            ->writeButton()
            ->click();
        settle(500);
        bool ok = false;
        QTimer::singleShot(800, [&ok, folder] {
            if (QWidget* window = QApplication::activeModalWidget()) {
                settle(300);
                ok = save(window->grab(), folder, "journal.png");
                window->close();
            }
        });
        frame->action(qavix::kCmdJournal)->trigger();
        app.shutdown();
        return ok;
    } else if (kind == "batch-dialog") {
        const bool ok = showTuning(kind, frame, folder);
        app.shutdown();
        return ok;
    } else if (kind == "graph-drag") {
        showTuning(kind, frame, folder);
    } else if (kind == "level-list") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::LevelList, 0));
        settle(300);
    } else if (kind == "graph-png") {
        const bool ok = showGraph(kind, frame, folder);
        app.shutdown();
        return ok;
    } else if (kind.startsWith("graph")) {
        showGraph(kind, frame, folder);
    } else if (isMeasurementShot(kind)) {
        editMeasurementPage(kind, frame);
    } else if (kind == "parallel") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::ParallelOutput, 0));
    } else if (kind == "options") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::Options, 0));
        settle(300);
        auto* page = static_cast<qavix::CView012*>(
            frame->rightPane()->splitterView()->view(qavix::nav::kViewPage012));
        page->box(qavix::kOptionTeach)->click();
    } else if (kind == "sensor") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::SensorOperation, 0, 1));
        settle(300);
        auto* page = static_cast<qavix::CView016*>(
            frame->rightPane()->splitterView()->view(qavix::nav::kViewPage016));
        page->list(qavix::CView016::kFieldOut2)->setCurrentIndex(6);
    } else if (kind == "sensor-bank") {
        // A bank has no place for the sensor's identification: the box is read-only.
        tree->tree()->setCurrentItem(tree->rootItem(2));
        settle(300);
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::SensorOperation, 2, 1));
    } else if (kind.startsWith("beams-")) {
        showBeams(kind, app);
    } else if (kind == "clock") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::Clock, 0));
        settle(1500);
    } else if (kind == "scale2") {
        tree->tree()->setCurrentItem(tree->rootItem(0));
    } else if (kind == "scale2-graph") {
        // The command bar wraps where the window is too narrow for it in one row.
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::LevelGraph, 0));
    } else if (kind == "scale2-sensor") {
        // Taller than the page row: the row scrolls, the groups keep their height.
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::SensorOperation, 0, 1));
    } else if (kind == "scale2-level-list") {
        // The columns as wide as their headers and cells need.
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::LevelList, 0));
    } else if (kind == "scale2-error-log") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::ErrorLog, 0));
    } else if (kind == "small-graph") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::SensorGraph, 0, 1));
    } else if (kind == "scan" || kind == "scan-stopped" || kind == "small-scan") {
        shootScanMonitor(frame, tree, kind == "scan-stopped");
    } else if (kind == "bank-threshold-list") {
        // A bank's thresholds under the controller's live levels.
        tree->tree()->setCurrentItem(tree->rootItem(2));
        settle(300);
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::BankThresholdList, 2));
    } else if (kind == "settings-list" || kind == "print-preview" || kind == "report-pdf") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::SettingsList, 0));
        settle(300);
        auto* page = static_cast<qavix::CView005*>(
            frame->rightPane()->splitterView()->view(qavix::nav::kViewPage005));
        if (kind == "print-preview") {
            bool ok = false;
            QTimer::singleShot(800, [&ok, folder] {
                if (QWidget* preview = QApplication::activeModalWidget()) {
                    preview->resize(g_windowSize == QSize(1000, 700) ? QSize(900, 700)
                                                                     : g_windowSize);
                    settle(400);
                    ok = save(preview->grab(), folder, "print-preview.png");
                    preview->close();
                }
            });
            page->printPreview();
            app.shutdown();
            return ok;
        }
        if (kind == "report-pdf") {
            const QString pdf = QDir(work.path()).filePath("report.pdf");
            QPrinter printer(QPrinter::HighResolution);
            qavix::ReportPrinter::preparePdf(printer, pdf);
            bool ok =
                qavix::ReportPrinter(qavix::reportLineList(page->reportLines())).print(printer);
            const QString out = QDir(folder).filePath("report-page1");
            ok = ok && QProcess::execute("pdftoppm", {"-png", "-r", "80", "-f", "1", "-l", "1",
                                                      "-singlefile", pdf, out}) == 0;
            std::cout << out.toStdString() << ".png" << (ok ? " saved\n" : " NOT saved\n");
            app.shutdown();
            return ok;
        }
    } else if (kind == "error-log") {
        tree->tree()->setCurrentItem(tree->findItem(qavix::nav::ItemKind::ErrorLog, 0));
        settle(300);
    } else if (kind == "debug") {
        if (auto* item = tree->findItem(qavix::nav::ItemKind::SensorOperation, 0, 1)) {
            tree->tree()->setCurrentItem(item);
        }
    }
    settle(kind == "debug" ? 4500 : 500);
    const QString path =
        QDir(folder).filePath((kind.startsWith("navi") ? kind : "main-" + kind) + ".png");
    // Offscreen windows have no title bar; the offline picture draws one, since the title
    // is where the file and its unsaved mark show.
    const bool ok = (kind == "offline" ? withTitleBar(frame) : frame->grab()).save(path);
    std::cout << path.toStdString() << (ok ? " saved\n" : " NOT saved\n");
    app.shutdown();
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    setenv("QAVLINK_COM1", "sim", 0);
    QApplication application(argc, argv);
    QApplication::setWindowIcon(qavix::applicationIcon());
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // Japanese unless asked, whatever the desktop's locale: the pictures of the docs are.
    const std::string language =
        qavix::takeLanguageArgument(arguments).value_or(qavix::i18n::kSourceLanguage);
    if (!qavix::i18n::useLanguage(language, qavix::i18n::catalogueFolder()) ||
        !qavix::useProgramTranslations(application, language)) {
        std::cerr << "gui_screenshots: no translation into " << language << "\n";
        return 2;
    }
    if (arguments.empty()) {
        std::cerr << "usage: gui_screenshots [--lang en] <folder> "
                     "[current|bank|debug|splash|textures|dialogs|navi-current|navi-bank|"
                     "navi-sensor|basic|basic-edited|clock|settings-list|print-preview|"
                     "report-pdf|error-log|scan|scan-stopped|overall|pio|groups|parallel|"
                     "options|sensor|comm-devices|comm-network|colour-dialog|scale2|scale2-graph|"
                     "scale2-sensor|scale2-level-list|scale2-error-log|graph|"
                     "graph-absolute|graph-all|graph-png|graph-drag|batch-dialog|level-list|"
                     "bank-threshold-list|small-graph|small-scan|banks|offline|beams-chart|"
                     "beams-chart-blanking|beams-list|beams-list-designated|journal]...\n"
                     "(scale2 and scale2-... under QT_SCALE_FACTOR=2)\n";
        return 2;
    }
    if (language != qavix::i18n::kSourceLanguage) {
        g_windowSize = QSize(1024, 768);
    }
    const QString folder = QString::fromStdString(arguments.front());
    QDir().mkpath(folder);
    QStringList kinds;
    for (size_t i = 1; i < arguments.size(); ++i) {
        kinds << QString::fromStdString(arguments[i]);
    }
    if (kinds.isEmpty()) {
        // clang-format off
        kinds = {"current", "bank", "debug", "splash", "textures", "dialogs", "navi-current",
                 "navi-bank", "navi-sensor", "basic", "basic-edited", "clock", "settings-list",
                 "print-preview", "report-pdf", "error-log", "scan", "scan-stopped", "overall",
                 "pio", "groups", "parallel", "options", "sensor", "sensor-bank", "comm-devices",
                 "comm-network", "colour-dialog", "graph", "graph-absolute", "graph-all", "graph-png",
                 "graph-drag", "batch-dialog", "level-list", "bank-threshold-list",
                 "small-graph", "small-scan", "banks", "offline", "beams-chart",
                 "beams-chart-blanking", "beams-list", "beams-list-designated", "journal"};
        // clang-format on
    }
    bool ok = true;
    for (const QString& k : kinds) {
        ok = shoot(folder, k) && ok;
    }
    return ok ? 0 : 1;
}
