// Pieces of start-up: the request wait's input rule, the worker's dialogs on the UI
// thread, the splash animation, the initial read dialog, the single-instance rule.

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QTranslator>

#include <QImageReader>
#include <QMouseEvent>
#include <QPushButton>
#include <atomic>
#include <thread>

#include "GuiTestSupport.h"
#include "app/CInitialReadDlg.h"
#include "app/CSplashDlg.h"
#include "app/DesktopSetup.h"
#include "app/QtCommHost.h"
#include "app/RequestWaitFilter.h"
#include "app/SingleInstance.h"

namespace qavix::test {
namespace {

class ClickCounter : public QObject {
  public:
    int presses = 0;
    int rightPresses = 0;
    int keys = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress) {
            auto* m = static_cast<QMouseEvent*>(e);
            (m->button() == Qt::RightButton ? rightPresses : presses)++;
        } else if (e->type() == QEvent::KeyPress) {
            ++keys;
        }
        return false;
    }
};

void postPress(QWidget* w, Qt::MouseButton button) {
    const QPointF at(5, 5);
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, at, w->mapToGlobal(at),
                                                   button, button, Qt::NoModifier));
}

void postKey(QWidget* w) {
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
}

// A shown button counting what reaches it while the request wait's filter runs.
struct RequestWait : ::testing::Test {
    void SetUp() override {
        target.show();
        target.installEventFilter(&counter);
    }
    QPushButton target{"x"};
    ClickCounter counter;
    RequestWaitFilter filter;
};

TEST_F(RequestWait, WhileBusyLeftClicksAreDroppedAndTheRestDelivered) {
    postPress(&target, Qt::LeftButton);
    postPress(&target, Qt::RightButton);
    postKey(&target);
    filter.pump(true);
    ASSERT_TRUE(waitUntil([&] { return counter.rightPresses == 1 && counter.keys == 1; }, 5000));
    settle();
    EXPECT_EQ(counter.presses, 0);
    EXPECT_EQ(counter.rightPresses, 1);
    EXPECT_EQ(counter.keys, 1);
    EXPECT_EQ(filter.heldCount(), 0);
}

TEST_F(RequestWait, OtherwiseClicksWaitUntilTheWaitIsOver) {
    postPress(&target, Qt::LeftButton);
    postKey(&target);
    filter.pump(false);
    filter.pump(false);  // still waiting: the click stays held
    EXPECT_EQ(counter.presses, 0);
    EXPECT_EQ(counter.keys, 1);
    EXPECT_EQ(filter.heldCount(), 1);
    // The wait is over: the held click follows.
    EXPECT_TRUE(waitUntil([&] { return counter.presses == 1; }, 5000));
    EXPECT_EQ(filter.heldCount(), 0);
}

TEST(QtHost, WorkerQuestionsAreAnsweredOnTheUiThread) {
    QtCommHost host;
    ModalAnswerer answers(true);
    std::atomic<int> result{-1};
    std::thread worker([&] { result = host.ask(Question::CommSetup, "question?") ? 1 : 0; });
    EXPECT_TRUE(waitUntil([&] { return result.load() != -1; }, 5000));
    worker.join();
    EXPECT_EQ(result.load(), 1);
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0], "question?");

    answers.setAccept(false);
    result = -1;
    std::thread second([&] { result = host.ask(Question::ResetSettingMode, "again?") ? 1 : 0; });
    EXPECT_TRUE(waitUntil([&] { return result.load() != -1; }, 5000));
    second.join();
    EXPECT_EQ(result.load(), 0);
}

TEST(QtHost, NothingIsShownOnceTheProgramEnds) {
    QtCommHost host;
    std::vector<std::pair<std::string, std::string>> traces;
    host.setTraceSink(
        [&](const std::string& s, const std::string& r) { traces.emplace_back(s, r); });
    int ends = 0;
    QObject::connect(&host, &QtCommHost::endRequested, [&] { ++ends; });
    std::thread worker([&] {
        host.recordTrace("S", "R");
        host.endProgram();
        host.endProgram();
    });
    worker.join();
    ASSERT_TRUE(waitUntil([&] { return ends > 0 && !traces.empty(); }, 5000));
    settle();
    EXPECT_EQ(ends, 1);
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].second, "R");

    host.beginShutdown();
    ModalAnswerer answers(true);
    std::atomic<bool> done{false};
    bool answer = true;
    std::thread late([&] {
        answer = host.ask(Question::CommSetup, "late?");
        host.showMessage("late message");
        done = true;
    });
    // The worker comes back without the UI thread answering anything.
    late.join();
    EXPECT_TRUE(done.load());
    EXPECT_FALSE(answer);
    settle(30);
    EXPECT_TRUE(answers.texts().empty());
}

TEST(Desktop, QtsOwnDialogsSpeakJapanese) {
    QTranslator* translator = installQtTranslations(*QCoreApplication::instance());
    if (translator == nullptr) {
        GTEST_SKIP() << "Qt's Japanese translations (qt6-translations-l10n) are not installed";
    }
    QColorDialog colours;
    QStringList texts;
    for (QPushButton* b : colours.findChildren<QPushButton*>()) {
        texts << b->text();
    }
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_TRUE(texts.contains("キャンセル")) << texts.join("|").toStdString();
    EXPECT_FALSE(texts.contains("Cancel")) << texts.join("|").toStdString();
}

TEST(Desktop, IconHasEverySizeTheDesktopAsksFor) {
    const QIcon icon = applicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 48, 64, 256}) {
        EXPECT_EQ(icon.pixmap(size, size).size(), QSize(size, size)) << size;
    }
    // Drawn, not blank: the corner is clear, the middle is not.
    const QImage image = icon.pixmap(64, 64).toImage();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(32, 32)), 255);
}

TEST(Splash, TheAnimationIsAPlayableGif) {
    QImageReader reader(":/splash.gif");
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_TRUE(reader.supportsAnimation());
    EXPECT_EQ(reader.imageCount(), 24);
    const QImage first = reader.read();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), QSize(240, 120));
    EXPECT_EQ(reader.nextImageDelay(), 80);
    EXPECT_EQ(QColor(first.pixel(2, 2)), QColor(16, 24, 48));
    // The top beam runs unbroken from the emitter to the receiver: incident, green.
    EXPECT_EQ(QColor(first.pixel(120, 22)), QColor(30, 200, 30));
    int frames = 1;
    while (!reader.read().isNull()) {
        ++frames;
    }
    EXPECT_EQ(frames, 24);
}

TEST(Splash, ClosesItselfAfterItsTime) {
    QPointer<CSplashDlg> splash = new CSplashDlg(30);
    splash->start();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->movie().state(), QMovie::Running);
    EXPECT_TRUE(waitUntil([&] { return splash.isNull(); }, 2000));
}

TEST(InitialRead, WaitsForTheSplashOnlyWhenItIsShown) {
    EXPECT_EQ(CInitialReadDlg::startDelay(true, false, 2600, 1000), 3600);
    EXPECT_EQ(CInitialReadDlg::startDelay(false, false, 2600, 1000), 1000);
    EXPECT_EQ(CInitialReadDlg::startDelay(true, true, 2600, 1000), 1000);
}

TEST(InitialRead, RunsTheReadAndCloses) {
    for (bool outcome : {true, false}) {
        int reads = 0;
        CInitialReadDlg dlg(
            [&] {
                ++reads;
                return outcome;
            },
            0, 300);
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        EXPECT_EQ(reads, 1);
        EXPECT_EQ(dlg.succeeded(), outcome);
    }
}

TEST(InitialRead, TheWindowCannotBeClosedWhileItReads) {
    CInitialReadDlg* self = nullptr;
    bool stillOpen = false;
    CInitialReadDlg dlg(
        [&] {
            self->reject();  // Escape or the close button
            stillOpen = self->isVisible();
            return true;
        },
        0, 300);
    self = &dlg;
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_TRUE(stillOpen);
}

TEST(SingleInstance, ASecondStartRaisesTheFirst) {
    const QString name = QString("qavix-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    ASSERT_TRUE(first.claim());
    int raised = 0;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });
    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(waitUntil([&] { return raised == 1; }, 3000));
}

}  // namespace
}  // namespace qavix::test
