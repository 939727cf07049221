// "環境設定" as the user drives it: the property lists and their editors, the interval
// check, "初期値" per tab, colours typed by hand, the frame applying a new button style
// to its bars and saving the settings, and the language for the next start.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "GuiTestSupport.h"
#include "TempFolder.h"
#include "frame/CBankCopyDlg.h"
#include "frame/CBankDialogBar.h"
#include "frame/CBankEditDlg.h"
#include "frame/CBankEraseDlg.h"
#include "frame/CToolDialogBar.h"
#include "frame/CommandIds.h"
#include "frame/EnvironmentDialog.h"
#include "widgets/CPictureButton.h"
#include "widgets/ColourContrast.h"
#include "widgets/PropertyList.h"

namespace qavix::test {
namespace {

using namespace env;

// Runs `fn` on the environment dialog as soon as it is open.
void onDialog(const std::function<void(EnvironmentDialog&)>& fn) {
    auto* timer = new QTimer();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<EnvironmentDialog*>(w); d != nullptr && d->isVisible()) {
                timer->stop();
                timer->deleteLater();
                fn(*d);
                return;
            }
        }
    });
    timer->start();
}

TEST(EnvironmentDialog, OpensWithTheSettingsOnThreeTabs) {
    AppSettings s;
    s.interval = 450;
    s.button = 6;
    EnvironmentDialog d(s);
    EXPECT_EQ(d.windowTitle(), "環境設定");
    ASSERT_EQ(d.tabs()->count(), 3);
    EXPECT_EQ(d.tabs()->tabText(0), "動作");
    EXPECT_EQ(d.tabs()->tabText(1), "色");
    EXPECT_EQ(d.tabs()->tabText(2), "その他");
    EXPECT_EQ(d.tabs()->currentIndex(), 0);
    EXPECT_EQ(d.list(0)->rowCount(), 3);
    EXPECT_EQ(d.list(1)->rowCount(), 9);
    EXPECT_EQ(d.list(2)->rowCount(), 3);
    EXPECT_EQ(d.list(0)->item(0, 0)->text(), "インターバル値");
    EXPECT_EQ(d.text(kItemInterval), "450");
    EXPECT_EQ(d.text(kItemButton), "Noise");
    EXPECT_EQ(d.text(kItemFirstColour), "RGB(30,200,30)");
    EXPECT_EQ(d.findChild<CPictureButton*>("okButton")->texture(), ButtonTexture::Noise);
}

TEST(EnvironmentDialog, IntervalOutOfRangeKeepsTheDialogOpen) {
    for (const char* text : {"99", "1001", "100", "1000"}) {
        SCOPED_TRACE(text);
        const bool good = std::string(text) == "100" || std::string(text) == "1000";
        AppSettings s;
        EnvironmentDialog d(s);
        d.show();
        d.setText(kItemInterval, text);
        ModalAnswerer answers;
        answers.leaveAlone(&d);
        d.confirm();
        settle();
        if (good) {
            EXPECT_EQ(d.result(), QDialog::Accepted);
            EXPECT_EQ(s.interval, std::atoi(text));
            EXPECT_TRUE(answers.texts().empty());
        } else {
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(s.interval, 200);
            ASSERT_EQ(answers.texts().size(), 1u);
            EXPECT_EQ(answers.texts()[0], "指定範囲が異常です\n\nインターバル値");
        }
    }
}

TEST(EnvironmentDialog, DefaultsOnTheColourTabResetOnlyTheColours) {
    AppSettings s;
    s.interval = 700;
    s.button = 7;
    for (auto& c : s.colors) {
        c = makeColor(1, 2, 3);
    }
    EnvironmentDialog d(s);
    d.tabs()->setCurrentIndex(kTabColour);
    d.findChild<CPictureButton*>("defaultsButton")->click();
    for (int i = kItemFirstColour; i <= kItemLastColour; ++i) {
        EXPECT_EQ(d.text(i).toStdString(), itemInfo(i).defaultText);
    }
    EXPECT_EQ(d.text(kItemInterval), "700");
    EXPECT_EQ(d.text(kItemButton), "Metal");
    d.confirm();
    EXPECT_EQ(s.colors[kColorNyukou], makeColor(30, 200, 30));
    EXPECT_EQ(s.colors[kColorScanOff], makeColor(128, 128, 128));
    EXPECT_EQ(s.interval, 700);
    EXPECT_EQ(s.button, 7);
}

TEST(EnvironmentDialog, AColourTypedWithoutRgbStoresYellow) {
    AppSettings s;
    EnvironmentDialog d(s);
    d.show();
    d.tabs()->setCurrentIndex(kTabColour);
    PropertyList* list = d.list(kTabColour);
    list->openEditor(2);
    auto* line = list->openEditorWidget()->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    line->setText("255,50,50");
    d.confirm();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(s.colors[kColorSyakou], 65535u);
    EXPECT_EQ(s.colors[kColorNyukou], makeColor(30, 200, 30));
}

TEST(PropertyList, TheSelectedRowEditsInPlace) {
    QWidget window;
    auto* list = new PropertyList(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 300);
    list->resize(370, 270);
    list->addItem("text", PropertyList::Editor::Text, "200");
    list->addItem("choice", PropertyList::Editor::Choice, "b", {"a", "b", "c"});
    list->addItem("colour", PropertyList::Editor::Colour, "RGB(1,2,3)");
    list->setColourCodec(
        [](const QString& t) {
            const ColorValue c = parseRgb(t.toStdString());
            return QColor(redOf(c), greenOf(c), blueOf(c));
        },
        [](const QColor& c) {
            return QString::fromStdString(formatRgb(makeColor(c.red(), c.green(), c.blue())));
        });
    window.show();
    QApplication::setActiveWindow(&window);

    list->openEditor(1);
    auto* combo = qobject_cast<QComboBox*>(list->openEditorWidget());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), "b");
    combo->setCurrentIndex(2);
    // Another row: the first editor closes and keeps its choice.
    list->openEditor(0);
    EXPECT_EQ(list->editorRow(), 0);
    EXPECT_EQ(list->value(1), "c");
    auto* line = qobject_cast<QLineEdit*>(list->openEditorWidget());
    ASSERT_NE(line, nullptr);
    line->setText("350");
    // Leaving the list closes the editor.
    other->setFocus();
    settle();
    EXPECT_EQ(list->openEditorWidget(), nullptr);
    EXPECT_EQ(list->value(0), "350");

    // "..." opens the colour dialog on the row's colour and writes back its text.
    QColor offered;
    list->setColourPicker([&](const QColor& initial, QWidget*) {
        offered = initial;
        return QColor(10, 20, 30);
    });
    list->openEditor(2);
    auto* more = list->openEditorWidget()->findChild<QToolButton*>("colourButton");
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(more->accessibleName(), "色の選択");  // its "..." says nothing when read out
    list->pickColour();
    EXPECT_EQ(offered, QColor(1, 2, 3));
    EXPECT_EQ(list->value(2), "RGB(10,20,30)");
    list->setColourPicker([](const QColor&, QWidget*) { return QColor(); });
    list->pickColour();
    EXPECT_EQ(list->value(2), "RGB(10,20,30)");  // cancelled: unchanged
}

TEST(EnvironmentSettingsCommand, EveryBankDialogTakesTheButtonStyle) {
    FrameFixture f;
    f.state.user.button = 7;  // Metal
    f.banks.setAppState(&f.state);
    CBankEraseDlg erase(f.banks);
    CBankCopyDlg copy(f.banks);
    CBankEditDlg edit(1, true, nullptr, &f.state);
    for (QDialog* d : std::initializer_list<QDialog*>{&erase, &copy, &edit}) {
        SCOPED_TRACE(d->objectName().toStdString());
        for (const char* name : {"run", "cancel"}) {
            auto* b = d->findChild<CPictureButton*>(name);
            ASSERT_NE(b, nullptr) << name;
            EXPECT_EQ(b->texture(), ButtonTexture::Metal) << name;
        }
    }
    // Enter still runs the chosen action of the editing dialog.
    edit.show();
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.result(), QDialog::Accepted);
}

TEST(BankCopyDialog, TheArrowReadsOnTheDialogAndBlinks) {
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::white, Qt::black), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(QColor(90, 20, 200), QColor(90, 20, 200)), 1.0);
    FrameFixture f;
    auto arrowOn = [](const CBankCopyDlg& d) {
        return d.arrow()->palette().color(QPalette::WindowText);
    };
    {
        CBankCopyDlg copy(f.banks);
        const QColor back = copy.palette().color(QPalette::Window);
        EXPECT_GE(contrastRatio(arrowOn(copy), back), kLargeTextContrast);
        EXPECT_EQ(arrowOn(copy), copy.arrowColour());
        // It blinks: gone into the background, then back.
        EXPECT_TRUE(waitUntil([&] { return arrowOn(copy) == back; }, 2000));
        EXPECT_TRUE(waitUntil([&] { return arrowOn(copy) == copy.arrowColour(); }, 2000));
    }
    // On a dark dialog the light yellow reads, and is kept.
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Window, QColor(40, 40, 48));
    QApplication::setPalette(dark);
    {
        CBankCopyDlg copy(f.banks);
        EXPECT_EQ(copy.arrowColour(), QColor(255, 255, 150));
    }
    QApplication::setPalette(before);
}

TEST(EnvironmentSettingsCommand, MetalReachesTheBarsAndIsSaved) {
    const TempDir dir;
    FrameFixture f;
    const std::string path = filePathOf(dir, "Qavix.ini").toStdString();
    f.settings.loadFrom(path);
    auto frame = f.makeFrame();
    frame->show();
    frame->updateCommandStates();
    QAction* command = frame->action(kCmdEnvSettings);
    ASSERT_TRUE(command->isEnabled());
    auto* toolButton =
        qobject_cast<CPictureButton*>(frame->toolBar()->button(CToolDialogBar::Import));
    ASSERT_NE(toolButton, nullptr);
    EXPECT_EQ(toolButton->texture(), ButtonTexture::Normal);
    const QImage before = toolButton->grab().toImage();

    onDialog([](EnvironmentDialog& d) {
        d.tabs()->setCurrentIndex(kTabOther);
        d.setText(kItemButton, "Metal");
        d.confirm();
    });
    command->trigger();
    EXPECT_EQ(f.state.user.button, 7);
    for (CPictureButton* b : frame->findChildren<CPictureButton*>()) {
        EXPECT_EQ(b->texture(), ButtonTexture::Metal) << b->text().toStdString();
    }
    EXPECT_EQ(
        qobject_cast<CPictureButton*>(frame->bankBar()->button(CBankDialogBar::Write))->texture(),
        ButtonTexture::Metal);
    EXPECT_NE(toolButton->grab().toImage(), before);
    SettingsFile saved;
    ASSERT_TRUE(saved.loadFrom(path));
    EXPECT_EQ(saved.getInt("Option", "Button", -1), 7);
    EXPECT_EQ(saved.getInt("Qavix_Section", "Interval", -1), 200);
    EXPECT_EQ(saved.getString("Color", "ColorOn", ""), "20,20,255");

    // Cancel changes nothing.
    onDialog([](EnvironmentDialog& d) {
        d.setText(kItemButton, "Flat");
        d.reject();
    });
    command->trigger();
    EXPECT_EQ(f.state.user.button, 7);
    EXPECT_EQ(toolButton->texture(), ButtonTexture::Metal);
}

TEST(EnvironmentSettingsCommand, TheLanguageIsChosenForTheNextStartAndSaved) {
    const TempDir dir;
    FrameFixture f;
    const std::string path = dir.file("Qavix.ini");
    f.settings.loadFrom(path);
    auto frame = f.makeFrame();
    frame->show();
    frame->updateCommandStates();
    std::vector<QString> offered;
    QString note;
    onDialog([&](EnvironmentDialog& d) {
        QComboBox* list = d.languages();
        for (int i = 0; i < list->count(); ++i) {
            offered.push_back(list->itemData(i).toString());
        }
        note = d.findChild<QLabel*>("languageNote")->text();
        list->setCurrentIndex(list->findData("en"));
        d.confirm();
    });
    frame->action(kCmdEnvSettings)->trigger();
    EXPECT_EQ(offered, (std::vector<QString>{"auto", "ja", "en"}));
    EXPECT_EQ(note, "次回の起動から有効になります");
    EXPECT_EQ(f.state.user.language, "en");
    SettingsFile saved;
    ASSERT_TRUE(saved.loadFrom(path));
    EXPECT_EQ(saved.getString("Environment", "Language", ""), "en");

    // A language this installation lacks stays as Qavix.ini has it.
    f.state.user.language = "de";
    onDialog([](EnvironmentDialog& d) {
        EXPECT_EQ(d.languages()->currentData().toString(), "de");
        d.confirm();
    });
    frame->action(kCmdEnvSettings)->trigger();
    EXPECT_EQ(f.state.user.language, "de");
}

}  // namespace
}  // namespace qavix::test
