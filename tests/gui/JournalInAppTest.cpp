// The change journal inside the whole program on the built-in emulator: the folder of its
// Qavix.ini, the reason asked before a write (and a cancelled question stopping it), one
// fingerprint on the basic information page, in the status bar and in the journal, and the
// 変更履歴 window from the menu.

#include <gtest/gtest.h>

#include <QInputDialog>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "AppRunSupport.h"
#include "GuiTestSupport.h"
#include "LanguageChoice.h"
#include "MessageCatalogue.h"
#include "app/CQavixApp.h"
#include "app/ProgramTranslations.h"
#include "comm/JournaledWrite.h"
#include "files/Fingerprint.h"
#include "frame/CLeftPaneView.h"
#include "frame/CRightPaneFrame.h"
#include "frame/CSplitterView.h"
#include "frame/CommandIds.h"
#include "frame/JournalWindow.h"
#include "frame/NavigationTree.h"
#include "journal/JournalReader.h"
#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "widgets/CColorStatusBar.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

// Answers the next reason question with `reason`, or cancels it when there is none; gone
// with `owner` when no question came.
void answerReason(QObject* owner, std::optional<QString> reason) {
    auto* timer = new QTimer(owner);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, reason] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        if (reason) {
            dialog->setTextValue(*reason);
            dialog->accept();
        } else {
            dialog->reject();
        }
        timer->deleteLater();
    });
    timer->start();
}

class JournalInApp : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        folder = file("journal").toStdString();
        const std::string journal = "[Journal]\r\nFolder=" + folder + "\r\nAskReason=1\r\n";
        ASSERT_TRUE(writeIni(kNoSplash + QByteArray::fromStdString(journal)));
        setenv("QAVLINK_COM1", "sim", 1);
        app = std::make_unique<CQavixApp>(options());
        ASSERT_TRUE(app->start());
        frame = app->mainFrame();
        frame->tree()->tree()->setCurrentItem(frame->tree()->findItem(ItemKind::BasicInfo, 0));
        settle();
        page = static_cast<CView001*>(frame->rightPane()->splitterView()->view(nav::kViewPage001));
        bar = static_cast<CCommandDlg*>(
            frame->rightPane()->splitterView()->view(nav::kViewCommandDlg));
    }
    void TearDown() override {
        if (app) {
            app->shutdown();
        }
        AppFixture::TearDown();
    }
    void writeId(const QString& id) {
        typeOver(page->idBox(), id);
        QTest::mouseClick(bar->writeButton(), Qt::LeftButton);
        settle();
    }
    QString statusTip() {
        frame->refreshStatusPanes();
        return frame->colorStatusBar()->pane(3)->toolTip();
    }

    std::string folder;
    std::unique_ptr<CQavixApp> app;
    CMainFrame* frame = nullptr;
    CView001* page = nullptr;
    CCommandDlg* bar = nullptr;
};

TEST_F(JournalInApp, AWriteAsksItsReasonAndIsRecordedWithOneFingerprintEverywhere) {
    const std::optional<SettingsData> current = knownSettings(currentValues(app->model()));
    ASSERT_TRUE(current);
    const std::string shown = settingsFingerprint(*current).shortForm();
    EXPECT_EQ(page->fingerprintBox()->text().toStdString(), shown);
    EXPECT_TRUE(statusTip().endsWith(QString::fromStdString("設定フィンガープリント: " + shown)))
        << statusTip().toStdString();

    answerReason(frame, QString("点検 No.7"));
    writeId("abc");
    journal::JournalListing listing = journal::readJournal(folder);
    ASSERT_EQ(listing.entries.size(), 1u);
    const journal::JournalEntry& e = listing.entries[0];
    EXPECT_EQ(e.status(), "ok");
    EXPECT_EQ(e.start->program, "qavix");
    EXPECT_EQ(e.start->reason, "点検 No.7");
    EXPECT_EQ(e.start->detail, "ｺﾝﾄﾛｰﾗ基本情報");
    EXPECT_EQ(e.start->fingerprintBefore.shortForm(), shown);
    EXPECT_EQ(e.fingerprintAfter().shortForm(), shown);  // the ID is no setting of it

    // A cancelled question cancels the write: nothing recorded, the controller keeps "abc".
    answerReason(frame, std::nullopt);
    writeId("def");
    listing = journal::readJournal(folder);
    EXPECT_EQ(listing.entries.size(), 1u);
    EXPECT_TRUE(bar->writeButton()->isEnabled());
    EXPECT_EQ(app->model().working().general.idText, "000ABC");
}

TEST_F(JournalInApp, TheMenuOpensTheWritesOfTheConnectedController) {
    answerReason(frame, QString());
    writeId("abc");
    int rows = -1;
    QTimer::singleShot(0, [&rows] {
        waitUntil([] { return qobject_cast<JournalWindow*>(QApplication::activeModalWidget()); },
                  3000);
        if (auto* w = qobject_cast<JournalWindow*>(QApplication::activeModalWidget())) {
            rows = w->writes()->rowCount();
            w->accept();
        }
    });
    ASSERT_TRUE(frame->action(kCmdJournal)->isEnabled());
    frame->action(kCmdJournal)->trigger();
    EXPECT_EQ(rows, 1);
}

// The journal keeps a page by its title as written, whatever language the program speaks,
// and the program names it in its own.
class JournalInEnglish : public JournalInApp {
  protected:
    void SetUp() override {
        ASSERT_TRUE(i18n::useLanguage("en", i18n::catalogueFolder()));
        ASSERT_TRUE(useProgramTranslations(*QCoreApplication::instance(), "en"));
        JournalInApp::SetUp();
    }
    void TearDown() override {
        JournalInApp::TearDown();
        useProgramTranslations(*QCoreApplication::instance(), i18n::kSourceLanguage);
        i18n::useLanguage(i18n::kSourceLanguage, i18n::catalogueFolder());
    }
};

TEST_F(JournalInEnglish, APageIsRecordedAsWrittenAndShownInEnglish) {
    answerReason(frame, QString());
    writeId("abc");
    const journal::JournalListing listing = journal::readJournal(folder);
    ASSERT_EQ(listing.entries.size(), 1u);
    const std::string& detail = listing.entries[0].start->detail;
    EXPECT_EQ(detail, "ｺﾝﾄﾛｰﾗ基本情報");
    const nav::PageTitles titles = nav::pageTitles();
    EXPECT_EQ(journalOperationText(journal::Operation::PageWrite, detail, titles),
              "Page write (Controller basic information)");
    EXPECT_EQ(nav::shownTitle(titles, "BANK 3 CH2 動作設定"), "BANK 3 CH2 operation settings");
    EXPECT_EQ(journalOperationText(journal::Operation::FleetRestore, "backup-3.qbk", titles),
              "Restore from a backup (backup-3.qbk)");
}

}  // namespace
}  // namespace qavix::test
